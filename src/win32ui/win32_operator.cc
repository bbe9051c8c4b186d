#include "win32ui/win32_operator.h"

#include "base/wait_windows.h"
#include "operators/transcript_lines.h"
#include "win32ui/dialog_window.h"
#include "win32ui/file_chooser.h"
#include "win32ui/message_box.h"

namespace tarvo::win32ui {

Win32Operator::Win32Operator(const Edition& edition, LineSink& transcript)
    : edition_(edition), transcript_(transcript) {}

Win32Operator::~Win32Operator() = default;

void Win32Operator::ThrowIfStopped() const {
  if (stop_ && stop_->requested()) throw OperationStopped();
}

HWND Win32Operator::Owner() const {
  HWND active = GetActiveWindow();
  if (wait_ && active == wait_->hwnd()) return GetWindow(active, GW_OWNER);
  return active;
}

Reply Win32Operator::Show(const Message& message) {
  ThrowIfStopped();
  // A failed transfer reports itself in a box; its progress window has served.
  if (transfer_window_) Close();
  transcript_.Line(transcript::MessageEntry(message));
  const Reply reply = ShowMessageBox(message);
  transcript_.Line(transcript::AnswerEntry(reply == Reply::kOk    ? "ok"
                                           : reply == Reply::kYes ? "yes"
                                                                  : "no"));
  return reply;
}

void Win32Operator::OpenWaitWindow(const WaitWindow& window) {
  transcript_.Line(transcript::WindowEntry(window));
  Open(window, false);
}

void Win32Operator::Open(const WaitWindow& window, bool transfer) {
  Close();
  wait_ = std::make_unique<WaitWindowView>(window, Owner());
  transfer_window_ = transfer;
}

void Win32Operator::CloseWaitWindow() {
  if (!transfer_window_) transcript_.Line(transcript::WindowClosedEntry());
  Close();
}

void Win32Operator::Close() {
  wait_.reset();
  transfer_window_ = false;
}

void Win32Operator::WaitStarts(int64_t ms) {
  transcript_.Line(transcript::WaitEntry(ms));
  if (wait_) wait_->StartWait(ms);
}

void Win32Operator::WaitEnds() {
  if (wait_) wait_->EndWait();
}

DialogResult Win32Operator::ShowDialog(DialogModel& dialog) {
  ThrowIfStopped();
  if (transfer_window_) Close();
  DialogWindow::Observer observer;
  observer.pressed = [this, &dialog](int button, const std::vector<Control>& shown) {
    for (const auto& line : transcript::PressEntries(dialog, shown, button)) {
      transcript_.Line(line);
    }
  };
  observer.refused = [this](const Refusal& refusal) {
    transcript_.Line(transcript::RefusedEntry(refusal));
  };
  transcript_.Line(transcript::DialogEntry(dialog));
  const DialogResult result = DialogWindow::Run(dialog, Owner(), observer);
  transcript_.Line(transcript::ClosedEntry(result));
  return result;
}

std::optional<std::string> Win32Operator::ChooseFile(const FileRequest& request) {
  ThrowIfStopped();
  transcript_.Line(transcript::FileEntry(request));
  std::optional<std::string> path = win32ui::ChooseFile(request, Owner());
  transcript_.Line(transcript::AnswerEntry(path ? "file " + *path : "cancel"));
  return path;
}

void Win32Operator::TransferProgress(uint64_t sent, uint64_t total) {
  if (sent >= total) {
    if (transfer_window_) {
      Close();
    } else if (wait_) {
      wait_->Progress(sent, total);
    }
    return;
  }
  if (!wait_) Open(SendingFileWindow(edition_), true);
  wait_->Progress(sent, total);
}

}  // namespace tarvo::win32ui
