#pragma once

#include <condition_variable>
#include <cstdint>
#include <istream>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "base/line_sink.h"
#include "base/operator.h"
#include "base/wait_observer.h"

namespace tarvo {

// The operator at a terminal: message boxes, wait windows and dialogs are printed, and the
// answers read line by line in the language of the script operator (src/dialogs/README.md),
// with a few conveniences: Enter alone presses a dialog's default button or confirms an OK box,
// y/n answer a Yes/No box, and an answer that does not fit is explained and asked again.
// Waits of 2 s or more count down on one line, once a second, from a background thread on real
// time, under the wait's name when the context tells it (as the operator's wait observer).
// The end of the input throws OperatorAborted naming the prompt.
class TerminalOperator : public Operator, public WaitObserver {
 public:
  TerminalOperator(std::istream& in, std::ostream& out, LineSink& transcript);
  ~TerminalOperator() override;
  TerminalOperator(const TerminalOperator&) = delete;
  TerminalOperator& operator=(const TerminalOperator&) = delete;

  Reply Show(const Message& message) override;
  void OpenWaitWindow(const WaitWindow& window) override;
  void CloseWaitWindow() override;
  void WaitStarts(int64_t ms) override;
  void WaitEnds() override;
  // WaitObserver: the name of the wait that is about to start.
  void Begins(std::string_view label, int64_t ms) override;
  void Ends() noexcept override;
  DialogResult ShowDialog(DialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  // Shown on one line, rewritten as the percentage grows; the line is ended when the file has
  // gone.
  void TransferProgress(uint64_t sent, uint64_t total) override;

  // Waits shorter than this get no countdown.
  static constexpr int64_t kCountdownFromMs = 2000;

 private:
  // Prints `prompt_text`, reads one line (without its line end); throws at the end of input.
  std::string ReadLine(const std::string& prompt_text, const std::string& prompt_name);
  void Print(const std::string& text);
  void PrintDialog(const DialogModel& dialog);
  void StopCountdown();
  void Countdown(const std::string& label, int64_t ms);

  std::istream& in_;
  std::ostream& out_;
  LineSink& transcript_;
  std::mutex out_mutex_;
  std::string window_caption_;
  std::string label_;          // the name of the wait told last, until it ends
  int progress_percent_ = -1;  // the percentage on the progress line; -1: no line

  std::thread countdown_;
  std::mutex countdown_mutex_;
  std::condition_variable countdown_cv_;
  bool countdown_stop_ = false;
};

}  // namespace tarvo
