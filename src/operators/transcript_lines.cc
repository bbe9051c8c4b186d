#include "operators/transcript_lines.h"

#include "operators/answer_line.h"

namespace tarvo::transcript {

std::string MessageEntry(const Message& message) {
  return "message " + OneLine(message.caption) + ": " + OneLine(message.text);
}

std::string WindowEntry(const WaitWindow& window) {
  return "window " + OneLine(window.caption) + ": " + OneLine(window.text);
}

std::string WindowClosedEntry() {
  return "window closed";
}

std::string WaitEntry(int64_t ms) {
  return "wait " + std::to_string(ms) + " ms";
}

std::string DialogEntry(const DialogModel& dialog) {
  return "dialog " + std::to_string(dialog.id()) + " " + OneLine(dialog.caption());
}

std::string RefusedEntry(const Refusal& refusal) {
  return "refused " + OneLine(refusal.caption) + ": " + OneLine(refusal.text);
}

std::string ClosedEntry(DialogResult result) {
  return result == DialogResult::kOk ? "closed OK" : "closed Cancel";
}

std::string FileEntry(const FileRequest& request) {
  return std::string(request.save ? "file save " : "file open ") + OneLine(request.filter);
}

std::string AnswerEntry(std::string_view answer) {
  return "< " + OneLine(answer);
}

std::string PromptName(const Message& message) {
  return "message box \"" + OneLine(message.caption) + ": " + OneLine(message.text) + "\"";
}

std::string PromptName(const DialogModel& dialog) {
  return "dialog " + std::to_string(dialog.id()) + " \"" + OneLine(dialog.caption()) + "\"";
}

std::string PromptName(const FileRequest& request) {
  return std::string("file chooser (") + (request.save ? "save " : "open ") +
         OneLine(request.filter) + ")";
}

}  // namespace tarvo::transcript
