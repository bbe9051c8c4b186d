#pragma once

#include <memory>

#include "base/operator.h"
#include "win32app/gui_thread.h"

namespace tarvo::win32app {

// The operator of the device worker: every call is carried to the GUI thread and answered there
// by the operator of the native windows (the dialogs, message boxes, wait windows and file
// dialogs of src/win32ui), so those windows belong to the main window's thread and the worker
// waits for the person's answer.
class GuiOperator : public Operator {
 public:
  GuiOperator(GuiThread& gui, std::unique_ptr<Operator> windows)
      : gui_(gui), windows_(std::move(windows)) {}
  // The windows go on the GUI thread, where they were made.
  ~GuiOperator() override;

  Reply Show(const Message& message) override;
  void OpenWaitWindow(const WaitWindow& window) override;
  void CloseWaitWindow() override;
  void WaitStarts(int64_t ms) override;
  void WaitEnds() override;
  DialogResult ShowDialog(DialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void TransferProgress(uint64_t sent, uint64_t total) override;

  Operator& windows() { return *windows_; }

 private:
  GuiThread& gui_;
  std::unique_ptr<Operator> windows_;
};

}  // namespace tarvo::win32app
