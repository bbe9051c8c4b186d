#include "dialogs/fw_version_dialog.h"

namespace tarvo {

void FwVersionDialog::Load() {
  controls_ = {Edit(kTextId, ControlKind::kText, label, text), Button(kOkId, "OK")};
}

PressOutcome FwVersionDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  text = TextOf(kTextId);
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
