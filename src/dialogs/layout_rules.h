#pragma once

#include "dialogs/dialog_model.h"

namespace tarvo {

// What every window view of a dialog model decides alike, so that the Qt program and the native
// Windows dialogs show a dialog the same way.

// An edit box: text, integer or decimal. It holds typed text, has a label beside it and takes
// the focus of a refusal.
bool IsEdit(ControlKind kind);

// Whether radio group `c` stands in one row: short options do (Pass/Fail, CR/PF, C ... NULL);
// more than seven, or one longer than eight characters, stand one under the other.
bool RadiosInRow(const Control& c);

// Whether the operator can change control `c` from the keyboard: an edit box that is enabled and
// not read-only, an enabled list or radio group.
bool TakesEntry(const Control& c);

// The control the focus starts in when a dialog opens (an index into `controls`): the first one
// that takes an entry, so that a current setting shown read-only above it is passed by; without
// one, the first enabled button. controls.size() when there is none. An edit box focused so has
// its whole text selected, so that typing replaces it.
size_t FirstFocus(const std::vector<Control>& controls);

}  // namespace tarvo
