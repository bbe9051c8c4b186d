#include "operators/recording_operator.h"

#include "operators/answer_line.h"

namespace tarvo {

Reply RecordingOperator::Show(const Message& message) {
  messages_.push_back(message);
  events_.push_back("message " + message.caption + ": " + message.text);
  Reply reply = message.buttons == Buttons::kYesNo ? Reply::kNo : Reply::kOk;
  if (!replies_.empty()) {
    reply = replies_.front();
    replies_.pop_front();
  }
  return reply;
}

void RecordingOperator::OpenWaitWindow(const WaitWindow& window) {
  windows_.push_back(window);
  window_open_ = true;
  events_.push_back("window+ " + window.caption);
}

void RecordingOperator::CloseWaitWindow() {
  window_open_ = false;
  events_.push_back("window-");
}

void RecordingOperator::WaitStarts(int64_t ms) {
  events_.push_back("wait " + std::to_string(ms));
}

DialogResult RecordingOperator::ShowDialog(DialogModel& dialog) {
  dialogs_shown_.push_back(dialog.id());
  events_.push_back("dialog " + std::to_string(dialog.id()) + " " + dialog.caption());
  dialog.Load();
  for (;;) {
    if (dialog_answers_.empty()) {
      // A loop that shows a dialog until it is accepted (the Bi-d adjustment takes Cancel for
      // "RePrint") would never end on default answers: stop a test that forgot its answers.
      if (++unanswered_dialogs_ > kMaxUnansweredDialogs) {
        throw OperatorAborted("no answer queued for dialog " + std::to_string(dialog.id()));
      }
      PressOutcome out = dialog.Press(DialogModel::kCancelId);
      return out.closed.value_or(DialogResult::kCancel);
    }
    DialogAnswer answer = std::move(dialog_answers_.front());
    dialog_answers_.pop_front();
    PressOutcome out = dialog.Press(answer(dialog));
    if (out.closed) return *out.closed;
    if (out.refusal) {
      refusals_.push_back(*out.refusal);
      events_.push_back("refused " + out.refusal->text);
    }
  }
}

void RecordingOperator::QueueDialogLine(std::string line) {
  QueueDialog([line = std::move(line)](DialogModel& dialog) {
    DialogStep step = ApplyDialogLine(dialog, line);
    if (step.kind != DialogStep::Kind::kPress) {
      throw OperatorAborted("queued answer \"" + line + "\" does not fit dialog " +
                            std::to_string(dialog.id()) + ": " +
                            (step.problem.empty() ? "it presses no button" : step.problem));
    }
    return step.button_id;
  });
}

std::optional<std::string> RecordingOperator::ChooseFile(const FileRequest&) {
  std::optional<std::string> path;
  if (!files_.empty()) {
    path = files_.front();
    files_.pop_front();
  }
  events_.push_back("file " + path.value_or("none"));
  return path;
}

}  // namespace tarvo
