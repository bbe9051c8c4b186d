#include "dialogs/motor_dialog.h"

namespace tarvo {

void MotorDialog::Load() {
  controls_ = {Radios(kChoiceId, "", {"Lock", "Unlock", "Hold", "Release"},
                      choice >= 0 && choice <= 3 ? choice : 0),
               Button(kOkId, "OK")};
}

PressOutcome MotorDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  choice = Selected(kChoiceId);
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
