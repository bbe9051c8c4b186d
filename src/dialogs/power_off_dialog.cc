#include "dialogs/power_off_dialog.h"

namespace tarvo {

void PowerOffDialog::Load() {
  controls_ = {
      Radios(kChoiceId, "", {"Not Set shipment data", "Set shipment data"}, choice == 0 ? 0 : 1),
      Button(kOkId, "OK")};
}

PressOutcome PowerOffDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  choice = Selected(kChoiceId);
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
