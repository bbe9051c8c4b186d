#pragma once

#include <windows.h>

#include <memory>

#include "base/edition.h"
#include "base/line_sink.h"
#include "base/operator.h"
#include "base/stop_request.h"
#include "win32ui/wait_window.h"

namespace tarvo::win32ui {

// The operator port shown in native Win32 windows, for Fennick.dll on Windows: message boxes
// (MessageBoxW, topmost), the dialog models in one generic dialog view, the modeless wait windows
// and the common file dialogs, all with Unicode window functions so the library's Traditional
// Chinese texts show.
//
// Threads: the windows belong to the thread that calls, which for the library is the host's
// calling thread; every call must come from that one thread. Modal boxes, dialogs and file
// dialogs run their own message loops there; a wait window is painted whenever it changes (and,
// with WindowClock, through the waits themselves).
//
// Modal windows are owned by the window active on the thread (the host's), so the host is
// disabled while they are up. Every interaction is written to the transcript in the lines of the
// other operators. Once the stop request is made, calls that would ask the person something throw
// OperationStopped instead.
class Win32Operator : public Operator {
 public:
  Win32Operator(const Edition& edition, LineSink& transcript);
  ~Win32Operator() override;

  Reply Show(const Message& message) override;
  void OpenWaitWindow(const WaitWindow& window) override;
  void CloseWaitWindow() override;
  void WaitStarts(int64_t ms) override;
  void WaitEnds() override;
  DialogResult ShowDialog(DialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void TransferProgress(uint64_t sent, uint64_t total) override;

  void set_stop(StopRequest* stop) { stop_ = stop; }

  // The wait or transfer window open now, or nullptr (tests).
  const WaitWindowView* wait_window() const { return wait_.get(); }
  bool shows_transfer_window() const { return transfer_window_; }

 private:
  void ThrowIfStopped() const;
  void Open(const WaitWindow& window, bool transfer);
  void Close();
  // The window modal windows belong to: the thread's active window, unless that is the wait
  // window, whose own owner is taken then.
  HWND Owner() const;

  const Edition& edition_;
  LineSink& transcript_;
  StopRequest* stop_ = nullptr;
  std::unique_ptr<WaitWindowView> wait_;
  bool transfer_window_ = false;  // wait_ is the transfer's own window
};

}  // namespace tarvo::win32ui
