#include "dialogs/tof_adjust_dialog.h"

namespace tarvo {

void TofAdjustDialog::Load() {
  Control box = Edit(kValueId, ControlKind::kInteger, "Adjust Value :", std::to_string(value));
  box.read_only = true;
  controls_ = {box, Radios(kRadioId, "", {"2", "1", "0"}, 1), Button(kOkId, "OK")};
}

PressOutcome TofAdjustDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  choice = Selected(kRadioId);
  if (choice == 0) value += kStep;
  if (choice == 2) value -= kStep;
  Load();
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
