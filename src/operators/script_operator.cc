#include "operators/script_operator.h"

#include <fstream>
#include <sstream>

#include "operators/answer_line.h"
#include "dialogs/dialog_model.h"
#include "operators/transcript_lines.h"

namespace tarvo {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

ScriptOperator::ScriptOperator(std::string_view script, LineSink& transcript, std::string name)
    : transcript_(&transcript), name_(std::move(name)) {
  int number = 0;
  size_t pos = 0;
  while (pos <= script.size()) {
    size_t end = script.find('\n', pos);
    if (end == std::string_view::npos) end = script.size();
    std::string_view line = script.substr(pos, end - pos);
    ++number;
    pos = end + 1;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    lines_.push_back({number, std::string(line)});
  }
}

std::optional<ScriptOperator> ScriptOperator::FromFile(const std::filesystem::path& path,
                                                       LineSink& transcript) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return ScriptOperator(text.str(), transcript, path.string());
}

void ScriptOperator::Abort(const std::string& message) {
  transcript_->Line("aborted " + message);
  throw OperatorAborted(message);
}

const ScriptOperator::Line& ScriptOperator::Next(const std::string& prompt) {
  if (next_ >= lines_.size()) {
    std::string where = last_number_ > 0 ? " (after line " + std::to_string(last_number_) + ")"
                                         : " (no answer lines)";
    Abort(name_ + " ran out at " + prompt + where);
  }
  const Line& line = lines_[next_++];
  last_number_ = line.number;
  transcript_->Line(transcript::AnswerEntry(line.text));
  return line;
}

void ScriptOperator::DoesNotFit(const Line& line, const std::string& prompt,
                                const std::string& problem) {
  Abort(name_ + " line " + std::to_string(line.number) + " \"" + line.text + "\" does not fit " +
        prompt + (problem.empty() ? "" : ": " + problem));
}

Reply ScriptOperator::Show(const Message& message) {
  transcript_->Line(transcript::MessageEntry(message));
  std::string prompt = transcript::PromptName(message);
  const Line& line = Next(prompt);
  std::optional<Reply> reply = MessageLine(message, line.text);
  if (!reply) {
    DoesNotFit(line, prompt,
               message.buttons == Buttons::kOk ? "an OK box takes \"ok\""
                                               : "a Yes/No box takes \"yes\" or \"no\"");
  }
  return *reply;
}

void ScriptOperator::OpenWaitWindow(const WaitWindow& window) {
  transcript_->Line(transcript::WindowEntry(window));
}

void ScriptOperator::CloseWaitWindow() {
  transcript_->Line(transcript::WindowClosedEntry());
}

void ScriptOperator::WaitStarts(int64_t ms) {
  transcript_->Line(transcript::WaitEntry(ms));
}

DialogResult ScriptOperator::ShowDialog(DialogModel& dialog) {
  dialog.Load();
  transcript_->Line(transcript::DialogEntry(dialog));
  std::string prompt = transcript::PromptName(dialog);
  for (;;) {
    const Line& line = Next(prompt);
    DialogStep step = ApplyDialogLine(dialog, line.text);
    if (step.kind == DialogStep::Kind::kMismatch) DoesNotFit(line, prompt, step.problem);
    if (step.kind == DialogStep::Kind::kSet) continue;
    PressOutcome outcome = dialog.Press(step.button_id);
    if (outcome.closed) {
      transcript_->Line(transcript::ClosedEntry(*outcome.closed));
      return *outcome.closed;
    }
    if (outcome.refusal) transcript_->Line(transcript::RefusedEntry(*outcome.refusal));
  }
}

std::optional<std::string> ScriptOperator::ChooseFile(const FileRequest& request) {
  transcript_->Line(transcript::FileEntry(request));
  std::string prompt = transcript::PromptName(request);
  const Line& line = Next(prompt);
  FileStep step = FileLine(line.text);
  if (!step.fits) DoesNotFit(line, prompt, "a file chooser takes \"file PATH\" or \"cancel\"");
  return step.path;
}

}  // namespace tarvo
