#include "operators/answer_line.h"

#include <algorithm>
#include <vector>

#include "dialogs/layout_rules.h"
#include "model/printer_text.h"

namespace tarvo {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  return Lower(a) == Lower(b);
}

// The first word of a line, in lower case, and the rest with its blanks removed.
std::pair<std::string, std::string_view> SplitCommand(std::string_view line) {
  line = Trim(line);
  size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return {Lower(line.substr(0, end)), Trim(line.substr(end))};
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    size_t start = i;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

bool IsChoice(const Control& c) {
  return c.kind == ControlKind::kRadio || c.kind == ControlKind::kList;
}

Control* FirstEdit(DialogModel& dialog) {
  for (auto& c : dialog.controls()) {
    if (IsEdit(c.kind) && c.enabled && !c.read_only) return &c;
  }
  return nullptr;
}

Control* FirstChoice(DialogModel& dialog) {
  for (auto& c : dialog.controls()) {
    if (IsChoice(c) && c.enabled) return &c;
  }
  return nullptr;
}

Control* FindButton(DialogModel& dialog, std::string_view name) {
  for (auto& c : dialog.controls()) {
    if (c.kind == ControlKind::kButton && c.enabled && SameText(c.label, name)) return &c;
  }
  return nullptr;
}

// Whether a line can change the control: enabled, and not a read-only box.
bool Settable(const Control& c) {
  return c.enabled && !c.read_only;
}

// Of two controls under the same label (a dialog that shows the current value beside the new
// one), the one a line can change.
bool Prefer(const Control* best, const Control& c) {
  return best == nullptr || (!Settable(*best) && Settable(c));
}

Control* FindByLabel(DialogModel& dialog, std::string_view label) {
  std::string key = LabelKey(label);
  Control* found = nullptr;
  for (auto& c : dialog.controls()) {
    if ((IsEdit(c.kind) || IsChoice(c)) && !key.empty() && LabelKey(c.label) == key &&
        Prefer(found, c))
      found = &c;
  }
  return found;
}

bool IsPassFailRow(const Control& c) {
  return c.kind == ControlKind::kRadio && c.options.size() == 2 && c.options[0] == "Pass" &&
         c.options[1] == "Fail";
}

std::string Quoted(std::string_view s) {
  return "\"" + std::string(s) + "\"";
}

// Sets one control to `value`: an edit box takes the text, a radio group or list the option of
// that text. Returns the problem when it cannot.
std::optional<std::string> SetControl(DialogModel& dialog, Control& c, std::string_view value) {
  std::string name = c.label.empty() ? "control " + std::to_string(c.id) : Quoted(c.label);
  if (!c.enabled) return name + " is disabled";
  if (IsEdit(c.kind)) {
    if (c.read_only) return name + " is read-only";
    // Edit boxes hold printer text: a character of more than one byte does not go in.
    if (!FitsPrinterText(value))
      return name + " takes only characters of one byte, not " + Quoted(value);
    c.text = std::string(value);
    return std::nullopt;
  }
  for (size_t i = 0; i < c.options.size(); ++i) {
    if (SameText(c.options[i], value)) {
      c.selected = static_cast<int>(i);
      dialog.Changed(c.id);
      return std::nullopt;
    }
  }
  return name + " has no option " + Quoted(value);
}

// "LABEL=VALUE LABEL=VALUE ...". Labels may hold blanks ("USB S/No."), so a label is recognised
// as one of the dialog's labels (the longest that fits) followed by '='; a value runs up to the
// next such label.
struct Assignment {
  Control* control;
  std::string value;
};

// The label of `dialog` that starts `text` at `pos` and is followed by '=': its control and the
// position after the '='.
std::pair<Control*, size_t> LabelAt(DialogModel& dialog, std::string_view text, size_t pos) {
  Control* best = nullptr;
  size_t best_end = 0;
  size_t best_len = 0;
  std::string lower = Lower(text);
  for (auto& c : dialog.controls()) {
    if (!IsEdit(c.kind) && !IsChoice(c)) continue;
    std::string key = LabelKey(c.label);
    if (key.empty() || key.size() < best_len) continue;
    if (key.size() == best_len && !Prefer(best, c)) continue;
    if (lower.compare(pos, key.size(), key) != 0) continue;
    size_t end = pos + key.size();
    while (end < text.size() && IsBlank(text[end])) ++end;
    if (end < text.size() && text[end] == ':') ++end;
    while (end < text.size() && IsBlank(text[end])) ++end;
    if (end >= text.size() || text[end] != '=') continue;
    best = &c;
    best_len = key.size();
    best_end = end + 1;
  }
  return {best, best_end};
}

std::optional<std::string> ParseAssignments(DialogModel& dialog, std::string_view text,
                                            std::vector<Assignment>& out) {
  if (text.empty()) return "no LABEL=VALUE given";
  size_t pos = 0;
  auto [control, value_start] = LabelAt(dialog, text, pos);
  if (!control) return "no field of this dialog named at " + Quoted(text);
  while (control) {
    // The value ends where a blank is followed by the next LABEL=.
    size_t next = value_start;
    Control* next_control = nullptr;
    size_t next_value_start = 0;
    for (; next < text.size(); ++next) {
      if (!IsBlank(text[next])) continue;
      size_t label_pos = next;
      while (label_pos < text.size() && IsBlank(text[label_pos])) ++label_pos;
      auto found = LabelAt(dialog, text, label_pos);
      if (found.first) {
        next_control = found.first;
        next_value_start = found.second;
        break;
      }
    }
    out.push_back({control, std::string(Trim(text.substr(value_start, next - value_start)))});
    control = next_control;
    value_start = next_value_start;
  }
  return std::nullopt;
}

std::optional<std::string> ApplyAssignments(DialogModel& dialog, std::string_view text) {
  std::vector<Assignment> assignments;
  if (auto problem = ParseAssignments(dialog, text, assignments)) return problem;
  for (auto& a : assignments) {
    if (auto problem = SetControl(dialog, *a.control, a.value)) return problem;
  }
  return std::nullopt;
}

DialogStep Press(int id) {
  return {DialogStep::Kind::kPress, id, {}};
}
DialogStep Mismatch(std::string problem) {
  return {DialogStep::Kind::kMismatch, 0, std::move(problem)};
}

DialogStep EnterThenPress(DialogModel& dialog, std::string_view text, int button_id) {
  Control* edit = FirstEdit(dialog);
  if (!edit) return Mismatch("the dialog has no box to enter text into");
  edit->text = std::string(text);
  return Press(button_id);
}

DialogStep Choose(DialogModel& dialog, std::string_view arg) {
  Control* choice = FirstChoice(dialog);
  if (!choice) return Mismatch("the dialog has nothing to choose from");
  if (arg.empty()) return Mismatch("choose needs an option");
  int index = -1;
  for (size_t i = 0; i < choice->options.size(); ++i) {
    if (SameText(choice->options[i], arg)) index = static_cast<int>(i);
  }
  if (index < 0 &&
      std::all_of(arg.begin(), arg.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    size_t n = arg.size() > 6 ? choice->options.size() : std::stoul(std::string(arg));
    if (n < choice->options.size()) index = static_cast<int>(n);
  }
  if (index < 0) return Mismatch("no option " + Quoted(arg));
  choice->selected = index;
  dialog.Changed(choice->id);
  return Press(DialogModel::kOkId);
}

DialogStep Inspect(DialogModel& dialog, std::string_view arg) {
  std::vector<Control*> rows;
  for (auto& c : dialog.controls()) {
    if (IsPassFailRow(c)) rows.push_back(&c);
  }
  std::vector<std::string_view> words = Words(arg);
  if (rows.empty()) return Mismatch("the dialog has no Pass/Fail rows");
  if (words.size() != rows.size()) {
    return Mismatch("the dialog has " + std::to_string(rows.size()) + " rows, the line gives " +
                    std::to_string(words.size()));
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (auto problem = SetControl(dialog, *rows[i], words[i])) return Mismatch(*problem);
  }
  return Press(DialogModel::kOkId);
}

DialogStep AllRows(DialogModel& dialog, std::string_view verdict) {
  bool any = false;
  for (auto& c : dialog.controls()) {
    if (!IsPassFailRow(c)) continue;
    any = true;
    c.selected = SameText(verdict, "pass") ? 0 : 1;
  }
  if (!any) return Mismatch("the dialog has no " + std::string(verdict) + " button");
  return Press(DialogModel::kOkId);
}

DialogStep Motor(DialogModel& dialog, std::string_view arg) {
  std::vector<std::string_view> w = Words(arg);
  if (w.size() != 6) return Mismatch("motor needs MOTOR DIRECTION SPEED STEPS POSITION TYPE");
  const char* labels[] = {"Motor Type", "Direction", "Speed Mode", "Step", "Position", "Type"};
  for (size_t i = 0; i < 6; ++i) {
    Control* c = FindByLabel(dialog, labels[i]);
    if (!c) return Mismatch("the dialog has no " + Quoted(labels[i]));
    if (!c->enabled) continue;  // Position and Type under PF
    std::string value(w[i]);
    if (i == 2 && !value.empty() && value[0] >= '0' && value[0] <= '9') value = "Mode " + value;
    if (auto problem = SetControl(dialog, *c, value)) return Mismatch(*problem);
  }
  return Press(DialogModel::kOkId);
}

}  // namespace

std::string LabelKey(std::string_view label) {
  label = Trim(label);
  if (!label.empty() && label.back() == ':') label.remove_suffix(1);
  return Lower(Trim(label));
}

DialogStep ApplyDialogLine(DialogModel& dialog, std::string_view line) {
  // A button whose name holds blanks ("Print File") is pressed by its whole name.
  if (Control* button = FindButton(dialog, Trim(line)); button && Words(line).size() > 1) {
    return Press(button->id);
  }
  auto [command, arg] = SplitCommand(line);
  if (command == "ok") {
    if (arg.empty()) return Press(DialogModel::kOkId);
    return EnterThenPress(dialog, arg, DialogModel::kOkId);
  }
  if (command == "cancel") {
    if (!arg.empty()) return Mismatch("cancel takes nothing after it");
    return Press(DialogModel::kCancelId);
  }
  if (command == "enter") return EnterThenPress(dialog, arg, DialogModel::kOkId);
  if (command == "choose") return Choose(dialog, arg);
  if (command == "inspect") return Inspect(dialog, arg);
  if (command == "motor") return Motor(dialog, arg);
  if (command == "fields" || command == "set") {
    if (auto problem = ApplyAssignments(dialog, arg)) return Mismatch(*problem);
    if (command == "set") return {DialogStep::Kind::kSet, 0, {}};
    return Press(DialogModel::kOkId);
  }
  if (Control* button = FindButton(dialog, command)) {
    if (arg.empty()) return Press(button->id);
    return EnterThenPress(dialog, arg, button->id);
  }
  if ((command == "pass" || command == "fail") && arg.empty()) return AllRows(dialog, command);
  return Mismatch("not an answer to this dialog");
}

std::optional<Reply> MessageLine(const Message& message, std::string_view line) {
  auto [command, arg] = SplitCommand(line);
  if (!arg.empty()) return std::nullopt;
  if (message.buttons == Buttons::kOk) {
    if (command == "ok") return Reply::kOk;
    return std::nullopt;
  }
  if (command == "yes") return Reply::kYes;
  // Closing a Yes/No box otherwise counts as No.
  if (command == "no" || command == "cancel") return Reply::kNo;
  return std::nullopt;
}

FileStep FileLine(std::string_view line) {
  auto [command, arg] = SplitCommand(line);
  if (command == "file" && !arg.empty()) return {true, std::string(arg)};
  if (command == "cancel" && arg.empty()) return {true, std::nullopt};
  return {};
}

std::string OneLine(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' || text[i] == '\r') {
      out += "\\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace tarvo
