#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/wait_window_view.h"
#include "base/edition.h"
#include "base/line_sink.h"
#include "base/operator.h"
#include "base/stop_request.h"

class QWidget;

namespace tarvo::app {

// The operator port shown in Qt windows. The object lives on the GUI thread; the device layer may
// call it from any thread. A call on the GUI thread shows its window there and then; a call from
// another thread (the device worker) is carried to the GUI thread and blocks the caller until the
// person has answered, while the GUI thread goes on painting and serving the other windows.
//
// Message boxes and dialogs are modal for the whole program, so nothing else can be started
// while one is open. Wait windows are modeless; the countdown of a fixed wait and the progress of
// a file transfer are shown in the open wait window, or, for a transfer without one, in a small
// window of its own that closes when the file has gone.
//
// Every interaction is written to the transcript in the lines of the other operators.
// Once the stop request is made, calls that would ask the person something throw
// OperationStopped instead.
class QtOperator : public QObject, public Operator {
  Q_OBJECT

 public:
  QtOperator(const Edition& edition, LineSink& transcript, QObject* parent = nullptr);
  ~QtOperator() override;

  Reply Show(const Message& message) override;
  void OpenWaitWindow(const WaitWindow& window) override;
  void CloseWaitWindow() override;
  void WaitStarts(int64_t ms) override;
  void WaitEnds() override;
  DialogResult ShowDialog(DialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void TransferProgress(uint64_t sent, uint64_t total) override;

  void set_stop(StopRequest* stop) { stop_ = stop; }
  // The window that dialogs and boxes centre on (none: the screen).
  void set_parent_window(QWidget* window) { parent_window_ = window; }

  // The wait or progress window open now, or nullptr (GUI thread only).
  WaitWindowView* wait_window() const { return wait_.data(); }
  bool shows_transfer_window() const { return transfer_window_; }

 private:
  void ThrowIfStopped() const;
  Reply ShowHere(const Message& message);
  DialogResult ShowDialogHere(DialogModel& dialog);
  std::optional<std::string> ChooseFileHere(const FileRequest& request);
  void OpenHere(const WaitWindow& window, bool transfer);
  void CloseHere();
  void ProgressHere(uint64_t sent, uint64_t total);

  const Edition& edition_;
  LineSink& transcript_;
  StopRequest* stop_ = nullptr;
  QPointer<QWidget> parent_window_;
  QPointer<WaitWindowView> wait_;
  bool transfer_window_ = false;  // wait_ is the transfer's own window
  // Progress reports waiting to be shown: only the latest is kept, so a fast sender queues at
  // most one report to the GUI thread at a time.
  std::atomic<uint64_t> progress_sent_{0};
  std::atomic<uint64_t> progress_total_{0};
  std::atomic<bool> progress_queued_{false};
};

}  // namespace tarvo::app
