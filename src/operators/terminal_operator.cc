#include "operators/terminal_operator.h"

#include <algorithm>
#include <chrono>

#include "dialogs/dialog_model.h"
#include "operators/answer_line.h"
#include "operators/transcript_lines.h"

namespace tarvo {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// The count, after the name of the wait when it has one ("Greasing - Waiting 12 s ...").
std::string CountdownText(const std::string& label, int64_t seconds) {
  return "\r" + (label.empty() ? "" : label + " - ") + "Waiting " + std::to_string(seconds) +
         " s ...   ";
}

std::string DescribeControl(const Control& c) {
  std::string line = "  ";
  switch (c.kind) {
    case ControlKind::kText:
    case ControlKind::kInteger:
    case ControlKind::kDecimal:
      line += (c.label.empty() ? std::string("Value") : c.label) + " [" + OneLine(c.text) + "]";
      if (!c.unit.empty()) line += " " + c.unit;
      if (c.read_only) line += " (read-only)";
      break;
    case ControlKind::kRadio:
      if (!c.label.empty()) line += c.label + ":";
      for (size_t i = 0; i < c.options.size(); ++i) {
        line += (static_cast<int>(i) == c.selected ? " (*) " : " ( ) ") + c.options[i];
      }
      break;
    case ControlKind::kList:
      line += c.label + " <" +
              (c.selected >= 0 && c.selected < static_cast<int>(c.options.size())
                   ? c.options[c.selected]
                   : std::string()) +
              "> of:";
      for (size_t i = 0; i < c.options.size(); ++i) line += (i ? ", " : " ") + c.options[i];
      break;
    case ControlKind::kLabel:
      line += OneLine(c.label);
      break;
    case ControlKind::kButton:
      return {};
  }
  if (!c.enabled) line += " (disabled)";
  return line;
}

}  // namespace

TerminalOperator::TerminalOperator(std::istream& in, std::ostream& out, LineSink& transcript)
    : in_(in), out_(out), transcript_(transcript) {}

TerminalOperator::~TerminalOperator() {
  StopCountdown();
}

void TerminalOperator::Print(const std::string& text) {
  std::lock_guard<std::mutex> lock(out_mutex_);
  out_ << text << std::flush;
}

std::string TerminalOperator::ReadLine(const std::string& prompt_text,
                                       const std::string& prompt_name) {
  Print(prompt_text);
  std::string line;
  if (!std::getline(in_, line)) {
    Print("\n");
    std::string message = "input ended at " + prompt_name;
    transcript_.Line("aborted " + message);
    throw OperatorAborted(message);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

Reply TerminalOperator::Show(const Message& message) {
  StopCountdown();
  transcript_.Line(transcript::MessageEntry(message));
  std::string icon = message.icon == Icon::kError ? "error" : "info";
  Print("\n[" + message.caption + "] (" + icon + ")\n" + message.text + "\n");
  std::string name = transcript::PromptName(message);
  if (message.buttons == Buttons::kOk) {
    // A box with only OK asks nothing: once input has ended (a run over SSH without a terminal,
    // say) it is shown and taken as read, so the run goes on to its own end.
    if (in_.eof()) {
      Print("OK\n");
    } else {
      std::string line;
      Print("OK (Enter) ");
      if (!std::getline(in_, line)) Print("\n");
    }
    transcript_.Line(transcript::AnswerEntry("ok"));
    return Reply::kOk;
  }
  for (;;) {
    std::string answer = Lower(Trimmed(ReadLine("Yes or No (y/n) ", name)));
    if (answer == "y" || answer == "yes") {
      transcript_.Line(transcript::AnswerEntry("yes"));
      return Reply::kYes;
    }
    if (answer == "n" || answer == "no") {
      transcript_.Line(transcript::AnswerEntry("no"));
      return Reply::kNo;
    }
  }
}

void TerminalOperator::OpenWaitWindow(const WaitWindow& window) {
  transcript_.Line(transcript::WindowEntry(window));
  window_caption_ = window.caption;
  Print("[" + window.caption + "] " + window.text + "\n");
}

void TerminalOperator::CloseWaitWindow() {
  StopCountdown();
  transcript_.Line(transcript::WindowClosedEntry());
  Print("[" + window_caption_ + "] closed\n");
  window_caption_.clear();
}

void TerminalOperator::WaitStarts(int64_t ms) {
  StopCountdown();
  transcript_.Line(transcript::WaitEntry(ms));
  if (ms < kCountdownFromMs) return;
  // The first count is printed here, so that even a wait that ends at once (a virtual clock)
  // shows how long it stood for.
  Print(CountdownText(label_, (ms + 999) / 1000));
  {
    std::lock_guard<std::mutex> lock(countdown_mutex_);
    countdown_stop_ = false;
  }
  countdown_ = std::thread([this, ms, label = label_] { Countdown(label, ms); });
}

void TerminalOperator::WaitEnds() {
  StopCountdown();
}

void TerminalOperator::Begins(std::string_view label, int64_t) {
  label_ = label;
}

void TerminalOperator::Ends() noexcept {
  label_.clear();
}

void TerminalOperator::Countdown(const std::string& label, int64_t ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock<std::mutex> lock(countdown_mutex_);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return;
    int64_t seconds = (left.count() + 999) / 1000;
    // Wake when the shown count drops by one.
    auto next = deadline - std::chrono::seconds(seconds - 1);
    if (countdown_cv_.wait_until(lock, next, [this] { return countdown_stop_; })) return;
    left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() > 0) Print(CountdownText(label, (left.count() + 999) / 1000));
  }
}

void TerminalOperator::StopCountdown() {
  if (!countdown_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(countdown_mutex_);
    countdown_stop_ = true;
  }
  countdown_cv_.notify_all();
  countdown_.join();
  Print("\r                        \r");
}

void TerminalOperator::PrintDialog(const DialogModel& dialog) {
  std::string text =
      "\n-- " + dialog.caption() + " (dialog " + std::to_string(dialog.id()) + ") --\n";
  std::string buttons;
  const std::string* group = nullptr;
  for (const Control& c : dialog.controls()) {
    if (!c.group.empty() && (!group || *group != c.group)) text += "  " + c.group + ":\n";
    group = &c.group;
    if (c.kind == ControlKind::kButton) {
      buttons += " [" + c.label + "]";
      if (c.id == dialog.default_button()) buttons += "*";
      continue;
    }
    text += (c.group.empty() ? "" : "  ") + DescribeControl(c) + "\n";
  }
  text += "  buttons:" + buttons + "   (* = Enter)\n";
  Print(text);
}

DialogResult TerminalOperator::ShowDialog(DialogModel& dialog) {
  StopCountdown();
  dialog.Load();
  transcript_.Line(transcript::DialogEntry(dialog));
  std::string name = transcript::PromptName(dialog);
  bool show = true;
  for (;;) {
    if (show) PrintDialog(dialog);
    show = true;
    std::string line = ReadLine("answer> ", name);
    DialogStep step;
    if (Trimmed(line).empty()) {
      step = {DialogStep::Kind::kPress, dialog.default_button(), {}};
      transcript_.Line(transcript::AnswerEntry("(Enter)"));
    } else {
      transcript_.Line(transcript::AnswerEntry(line));
      step = ApplyDialogLine(dialog, line);
    }
    if (step.kind == DialogStep::Kind::kMismatch) {
      Print("? " + step.problem +
            " (answers: ok, cancel, a button's name, enter TEXT, choose N, set LABEL=VALUE, "
            "fields LABEL=VALUE ...)\n");
      show = false;
      continue;
    }
    if (step.kind == DialogStep::Kind::kSet) continue;
    PressOutcome outcome = dialog.Press(step.button_id);
    if (outcome.closed) {
      transcript_.Line(transcript::ClosedEntry(*outcome.closed));
      return *outcome.closed;
    }
    if (outcome.refusal) {
      transcript_.Line(transcript::RefusedEntry(*outcome.refusal));
      Print("\n[" + outcome.refusal->caption + "] (error)\n" + outcome.refusal->text + "\n");
    }
  }
}

std::optional<std::string> TerminalOperator::ChooseFile(const FileRequest& request) {
  StopCountdown();
  transcript_.Line(transcript::FileEntry(request));
  std::string path = Trimmed(ReadLine(std::string(request.save ? "Save as" : "Open file") + " (" +
                                          request.filter + "), empty line to cancel: ",
                                      transcript::PromptName(request)));
  if (path.empty()) {
    transcript_.Line(transcript::AnswerEntry("cancel"));
    return std::nullopt;
  }
  transcript_.Line(transcript::AnswerEntry("file " + path));
  return path;
}

void TerminalOperator::TransferProgress(uint64_t sent, uint64_t total) {
  const int percent = total == 0 ? 100 : static_cast<int>(std::min(sent, total) * 100 / total);
  if (sent == 0) progress_percent_ = -1;
  if (percent != progress_percent_) {
    progress_percent_ = percent;
    Print("\rSent " + std::to_string(percent) + " % (" + std::to_string(std::min(sent, total)) +
          " of " + std::to_string(total) + " bytes)   ");
  }
  if (sent >= total) {
    Print("\n");
    progress_percent_ = -1;
  }
}

}  // namespace tarvo
