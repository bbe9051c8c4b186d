#pragma once

#include <string_view>

#include "dialogs/dialog_model.h"
#include "win32ui/dialog_template.h"

namespace tarvo::win32ui {

// Where the controls of a dialog model go in a Win32 dialog, in dialog units, as the Qt view
// lays them out: a form per column of the model (the label left of its edit box or list), radio
// groups in group boxes (short options in a row, longer ones one under the other), static texts
// centred, units right of their edit boxes, controls of one group in a group box, and the buttons
// in a row at the bottom right, the model's default button marked.
//
// Every window of a control has the control's own id (each radio button its option id); the
// label beside an edit box or list, the group box of a radio group and a static text without an
// id of its own get LabelId(index of the control).
DialogSpec LayOut(const DialogModel& model);

// The id of the window standing for control `index` where the control has no id of its own, and
// of the label or group box beside it.
inline constexpr int kLabelIdBase = 0x7000;
inline int LabelId(size_t index) {
  return kLabelIdBase + static_cast<int>(index);
}
// The unit right of edit box `index` and the group box that control `index` opens.
inline constexpr int kUnitIdBase = 0x7800;
inline int UnitId(size_t index) {
  return kUnitIdBase + static_cast<int>(index);
}
inline constexpr int kGroupIdBase = 0x7C00;
inline int GroupId(size_t index) {
  return kGroupIdBase + static_cast<int>(index);
}
// The id of control `index`'s own window: its id, or LabelId for a static text without one.
int ItemId(const Control& control, size_t index);

// The width of `utf8` in the dialog font, in dialog units, estimated from its characters (wide
// CJK characters count double), for a box that must not cut it.
int TextWidth(std::string_view utf8);

}  // namespace tarvo::win32ui
