#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/operator.h"
#include "dialogs/dialog_model.h"

namespace tarvo {

// The language of the operator's answers, shared by the script and the terminal: one line
// answers one prompt (or, with `set`, changes a dialog without closing it). The lines are listed
// in src/dialogs/README.md.

// What a line does to a dialog: press a button (after setting controls), only set controls, or
// nothing because it does not fit the dialog (`problem` says why).
struct DialogStep {
  enum class Kind { kPress, kSet, kMismatch };
  Kind kind = Kind::kMismatch;
  int button_id = 0;
  std::string problem;
};
DialogStep ApplyDialogLine(DialogModel& dialog, std::string_view line);

// The reply a line gives to a message box, or nothing when it does not fit the box.
std::optional<Reply> MessageLine(const Message& message, std::string_view line);

// A line answering a file chooser: `file PATH` or `cancel`.
struct FileStep {
  bool fits = false;
  std::optional<std::string> path;
};
FileStep FileLine(std::string_view line);

// Text for a one-line transcript entry: line breaks written as "\n".
std::string OneLine(std::string_view text);

// The text of a control's label as answers name it: without the trailing " :" and in lower case.
std::string LabelKey(std::string_view label);

}  // namespace tarvo
