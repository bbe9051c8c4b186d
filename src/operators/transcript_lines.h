#pragma once

#include <string>
#include <vector>

#include "base/operator.h"
#include "dialogs/dialog_model.h"

namespace tarvo {

// The entries of an operator's transcript, one line each, and the names of prompts used in
// abort messages. The format is described in src/dialogs/README.md.
namespace transcript {

std::string MessageEntry(const Message& message);    // "message CAPTION: TEXT"
std::string WindowEntry(const WaitWindow& window);   // "window CAPTION: TEXT"
std::string WindowClosedEntry();                     // "window closed"
std::string WaitEntry(int64_t ms);                   // "wait MS ms"
std::string DialogEntry(const DialogModel& dialog);  // "dialog ID CAPTION"
std::string RefusedEntry(const Refusal& refusal);    // "refused CAPTION: TEXT"
std::string ClosedEntry(DialogResult result);        // "closed OK" / "closed Cancel"
std::string FileEntry(const FileRequest& request);   // "file open FILTER" / "file save FILTER"
std::string AnswerEntry(std::string_view answer);    // "< ANSWER"

// What a window view writes when the operator presses `button_id` of `dialog`: the controls the
// operator changed since `shown` (the controls as last shown), as "< set LABEL=VALUE ...", then
// the button as a script would name it ("< ok", "< reprint", "< cancel").
std::vector<std::string> PressEntries(const DialogModel& dialog, const std::vector<Control>& shown,
                                      int button_id);

// How abort messages name the prompt: message box "ERROR: Print Off line !!", dialog 179 "Input
// Head ID", file chooser (open All Files|*.*||).
std::string PromptName(const Message& message);
std::string PromptName(const DialogModel& dialog);
std::string PromptName(const FileRequest& request);

}  // namespace transcript
}  // namespace tarvo
