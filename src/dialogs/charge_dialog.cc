#include "dialogs/charge_dialog.h"

#include "dialogs/field_checks.h"

namespace tarvo {

void ChargeDialog::Load() {
  controls_ = {Edit(kValueId, ControlKind::kInteger, "Charge :", std::to_string(value)),
               Button(kOkId, "OK")};
}

PressOutcome ChargeDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  IntegerEntry entry = ReadIntegerBox(*this, kValueId);
  if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
  if (*entry.value != 0 && *entry.value != 1) {
    return PressOutcome::Refuse({"Error Value !!", "Set Charge", kValueId, true});
  }
  value = *entry.value;
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
