#include "win32app/gui_operator.h"

namespace tarvo::win32app {

GuiOperator::~GuiOperator() {
  gui_.Call([this] { windows_.reset(); });
}

Reply GuiOperator::Show(const Message& message) {
  return gui_.Call([&] { return windows_->Show(message); });
}

void GuiOperator::OpenWaitWindow(const WaitWindow& window) {
  gui_.Call([&] { windows_->OpenWaitWindow(window); });
}

void GuiOperator::CloseWaitWindow() {
  gui_.Call([&] { windows_->CloseWaitWindow(); });
}

void GuiOperator::WaitStarts(int64_t ms) {
  gui_.Call([&] { windows_->WaitStarts(ms); });
}

void GuiOperator::WaitEnds() {
  gui_.Call([&] { windows_->WaitEnds(); });
}

DialogResult GuiOperator::ShowDialog(DialogModel& dialog) {
  return gui_.Call([&] { return windows_->ShowDialog(dialog); });
}

std::optional<std::string> GuiOperator::ChooseFile(const FileRequest& request) {
  return gui_.Call([&] { return windows_->ChooseFile(request); });
}

void GuiOperator::TransferProgress(uint64_t sent, uint64_t total) {
  gui_.Call([&] { windows_->TransferProgress(sent, total); });
}

}  // namespace tarvo::win32app
