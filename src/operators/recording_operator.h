#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/operator.h"
#include "dialogs/dialog_model.h"

namespace tarvo {

// The operator of tests: records everything shown and answers from queues set up in advance.
// Without a queued answer a message box gets OK (Yes/No boxes: No), a dialog Cancel (at most 100
// times, then OperatorAborted), a file chooser nothing.
class RecordingOperator : public Operator {
 public:
  // Each dialog shown is handed to the next queued answerer, which may change its controls and
  // must return the button to press; presses are repeated while the model refuses them, with the
  // following answerer.
  using DialogAnswer = std::function<int(DialogModel&)>;

  Reply Show(const Message& message) override;
  void OpenWaitWindow(const WaitWindow& window) override;
  void CloseWaitWindow() override;
  void WaitStarts(int64_t ms) override;
  DialogResult ShowDialog(DialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void TransferProgress(uint64_t sent, uint64_t total) override {
    progress_.emplace_back(sent, total);
  }

  void QueueReply(Reply reply) { replies_.push_back(reply); }
  void QueueDialog(DialogAnswer answer) { dialog_answers_.push_back(std::move(answer)); }
  // Queues an answer in the words of a script line ("enter ab12cd", "reprint 5", "choose 2",
  // "fields MS1=-3", see README.md). A line that does not fit the dialog, or a `set` line,
  // throws OperatorAborted when the dialog comes.
  void QueueDialogLine(std::string line);
  void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }

  // Everything that happened, one line each: "message <caption>: <text>", "window+ <caption>",
  // "window-", "wait <ms>", "dialog <id> <caption>", "refused <text>", "file <path>|none".
  const std::vector<std::string>& events() const { return events_; }
  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<WaitWindow>& windows() const { return windows_; }
  const std::vector<int>& dialogs_shown() const { return dialogs_shown_; }
  const std::vector<Refusal>& refusals() const { return refusals_; }
  bool window_open() const { return window_open_; }
  // Every progress report of a file transfer: bytes sent, file size.
  const std::vector<std::pair<uint64_t, uint64_t>>& progress() const { return progress_; }

 private:
  std::deque<Reply> replies_;
  std::deque<DialogAnswer> dialog_answers_;
  std::deque<std::optional<std::string>> files_;
  std::vector<std::string> events_;
  std::vector<Message> messages_;
  std::vector<WaitWindow> windows_;
  std::vector<int> dialogs_shown_;
  std::vector<Refusal> refusals_;
  std::vector<std::pair<uint64_t, uint64_t>> progress_;
  bool window_open_ = false;
  int unanswered_dialogs_ = 0;
  static constexpr int kMaxUnansweredDialogs = 100;
};

}  // namespace tarvo
