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

}  // namespace tarvo
