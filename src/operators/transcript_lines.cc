#include "operators/transcript_lines.h"

#include "dialogs/layout_rules.h"
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

namespace {

// A label as answer lines name it: without its trailing colon and blanks.
std::string BareLabel(std::string label) {
  while (!label.empty() && (label.back() == ' ' || label.back() == ':')) label.pop_back();
  return label;
}

// The word a script presses `button_id` with: "ok" for OK, a named button by its text without
// blanks and accelerator marks, anything else "cancel".
std::string ButtonWord(const DialogModel& dialog, int button_id) {
  if (button_id == DialogModel::kOkId) return "ok";
  if (const Control* c = dialog.control(button_id); c && c->kind == ControlKind::kButton) {
    std::string word;
    for (char ch : c->label) {
      if (ch == ' ' || ch == '&') continue;
      word += (ch >= 'A' && ch <= 'Z') ? char(ch - 'A' + 'a') : ch;
    }
    if (!word.empty()) return word;
  }
  return "cancel";
}

}  // namespace

std::vector<std::string> PressEntries(const DialogModel& dialog, const std::vector<Control>& shown,
                                      int button_id) {
  std::string set;
  const auto& controls = dialog.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& now = controls[i];
    if (now.kind == ControlKind::kButton || now.kind == ControlKind::kLabel) continue;
    const Control* before = i < shown.size() && shown[i].id == now.id ? &shown[i] : nullptr;
    std::string value;
    if (IsEdit(now.kind)) {
      if (before && before->text == now.text) continue;
      value = now.text;
    } else {
      if (before && before->selected == now.selected) continue;
      if (now.selected < 0 || now.selected >= int(now.options.size())) continue;
      value = now.options[now.selected];
    }
    set += " " + BareLabel(now.label) + "=" + value;
  }
  std::vector<std::string> entries;
  if (!set.empty()) entries.push_back(AnswerEntry("set" + set));
  entries.push_back(AnswerEntry(ButtonWord(dialog, button_id)));
  return entries;
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
