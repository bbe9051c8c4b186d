#include "app/qt_operator.h"

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

#include "app/dialog_view.h"
#include "app/file_filter.h"
#include "app/message_box.h"
#include "base/wait_windows.h"
#include "operators/transcript_lines.h"
#include "pages/gui_thread.h"

namespace tarvo::app {

using pages::CallOnThreadOf;
using pages::PostToThreadOf;

QtOperator::QtOperator(const Edition& edition, LineSink& transcript, QObject* parent)
    : QObject(parent), edition_(edition), transcript_(transcript) {}

QtOperator::~QtOperator() {
  delete wait_.data();
}

void QtOperator::ThrowIfStopped() const {
  if (stop_ && stop_->requested()) throw OperationStopped();
}

Reply QtOperator::Show(const Message& message) {
  ThrowIfStopped();
  return CallOnThreadOf(this, [&] { return ShowHere(message); });
}

Reply QtOperator::ShowHere(const Message& message) {
  // A failed transfer reports itself in a box; its progress window has served.
  if (transfer_window_) CloseHere();
  transcript_.Line(transcript::MessageEntry(message));
  Reply reply = ShowMessageBox(message, parent_window_);
  transcript_.Line(transcript::AnswerEntry(reply == Reply::kOk    ? "ok"
                                           : reply == Reply::kYes ? "yes"
                                                                  : "no"));
  return reply;
}

void QtOperator::OpenWaitWindow(const WaitWindow& window) {
  CallOnThreadOf(this, [&] {
    transcript_.Line(transcript::WindowEntry(window));
    OpenHere(window, false);
  });
}

void QtOperator::OpenHere(const WaitWindow& window, bool transfer) {
  delete wait_.data();
  wait_ = new WaitWindowView(window, parent_window_);
  transfer_window_ = transfer;
  wait_->show();
  wait_->raise();
}

void QtOperator::CloseWaitWindow() {
  CallOnThreadOf(this, [&] {
    if (!transfer_window_) transcript_.Line(transcript::WindowClosedEntry());
    CloseHere();
  });
}

void QtOperator::CloseHere() {
  // Deleted at once: a window left for a later event loop would outlive an operator whose loop
  // has ended.
  delete wait_.data();
  wait_ = nullptr;
  transfer_window_ = false;
}

void QtOperator::WaitStarts(int64_t ms) {
  CallOnThreadOf(this, [&] {
    transcript_.Line(transcript::WaitEntry(ms));
    if (wait_) wait_->StartWait(ms);
  });
}

void QtOperator::WaitEnds() {
  CallOnThreadOf(this, [&] {
    if (wait_) wait_->EndWait();
  });
}

DialogResult QtOperator::ShowDialog(DialogModel& dialog) {
  ThrowIfStopped();
  return CallOnThreadOf(this, [&] { return ShowDialogHere(dialog); });
}

DialogResult QtOperator::ShowDialogHere(DialogModel& dialog) {
  if (transfer_window_) CloseHere();
  DialogView::Observer observer;
  observer.pressed = [this, &dialog](int button, const std::vector<Control>& shown) {
    for (const auto& line : transcript::PressEntries(dialog, shown, button)) {
      transcript_.Line(line);
    }
  };
  observer.refused = [this](const Refusal& refusal) {
    transcript_.Line(transcript::RefusedEntry(refusal));
  };
  // The view loads the model; the transcript names the dialog as it is shown.
  DialogView view(dialog, parent_window_, observer);
  transcript_.Line(transcript::DialogEntry(dialog));
  DialogResult result = view.Run();
  transcript_.Line(transcript::ClosedEntry(result));
  return result;
}

std::optional<std::string> QtOperator::ChooseFile(const FileRequest& request) {
  ThrowIfStopped();
  return CallOnThreadOf(this, [&] { return ChooseFileHere(request); });
}

std::optional<std::string> QtOperator::ChooseFileHere(const FileRequest& request) {
  transcript_.Line(transcript::FileEntry(request));
  QFileDialog chooser(parent_window_);
  chooser.setObjectName("file");
  chooser.setOption(QFileDialog::DontUseNativeDialog, true);
  chooser.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  chooser.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  chooser.setNameFilter(QtNameFilters(request.filter));
  chooser.setDirectory(QDir::currentPath());
  chooser.setWindowModality(Qt::ApplicationModal);
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
    transcript_.Line(transcript::AnswerEntry("cancel"));
    return std::nullopt;
  }
  std::string path = chooser.selectedFiles().front().toStdString();
  transcript_.Line(transcript::AnswerEntry("file " + path));
  return path;
}

void QtOperator::TransferProgress(uint64_t sent, uint64_t total) {
  progress_sent_.store(sent);
  progress_total_.store(total);
  // One report in flight at a time; the GUI shows the latest numbers when it gets to it.
  if (progress_queued_.exchange(true)) return;
  PostToThreadOf(this, [this] {
    progress_queued_.store(false);
    ProgressHere(progress_sent_.load(), progress_total_.load());
  });
}

void QtOperator::ProgressHere(uint64_t sent, uint64_t total) {
  if (sent >= total) {
    if (transfer_window_) {
      CloseHere();
    } else if (wait_) {
      wait_->Progress(sent, total);
    }
    return;
  }
  if (!wait_) OpenHere(SendingFileWindow(edition_), true);
  wait_->Progress(sent, total);
}

}  // namespace tarvo::app
