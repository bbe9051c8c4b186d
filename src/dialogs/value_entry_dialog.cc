#include "dialogs/value_entry_dialog.h"

#include "dialogs/field_checks.h"

namespace tarvo {

void ValueEntryDialog::Load() {
  controls_ = {Edit(kValueId, ControlKind::kInteger, "Value :", std::to_string(value)),
               Button(kRePrintId, "RePrint"), Button(kOkId, "OK")};
}

PressOutcome ValueEntryDialog::Press(int button_id) {
  // Both buttons check the entry first; a text that is no integer leaves every member as it was.
  IntegerEntry entry = ReadIntegerBox(*this, kValueId);
  if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
  value = *entry.value;
  if (value < -15 || value > 15) {
    return PressOutcome::Refuse({"Range: -15 ~ +15 !!", "Error", kValueId, true});
  }
  running_total += value;
  if (button_id == kOkId) {
    reprint = 0;
    Load();
    return PressOutcome::Close(DialogResult::kOk);
  }
  reprint = (running_total < -60 || running_total > 60) ? 0 : 1;
  Load();
  return PressOutcome::Close(DialogResult::kCancel);
}

}  // namespace tarvo
