#include "dialogs/pass_fail_dialog.h"

namespace tarvo {

void PassFailDialog::Load() {
  controls_ = {Button(kPassId, "PASS"), Button(kFailId, "FAIL")};
}

PressOutcome PassFailDialog::Press(int button_id) {
  if (button_id == kPassId) {
    verdict = 1;
    return PressOutcome::Close(DialogResult::kOk);
  }
  verdict = 0;
  return PressOutcome::Close(DialogResult::kCancel);
}

}  // namespace tarvo
