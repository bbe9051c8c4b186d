#include "dialogs/motor_move_dialog.h"

#include <algorithm>

#include "dialogs/field_checks.h"

namespace tarvo {

void MotorMoveDialog::Load() {
  controls_ = {
      Radios(kMotorId, "Motor Type", {"CR", "PF"}, motor == 1 ? 1 : 0),
      Radios(kDirectionId, "Direction", {"CW", "CCW"}, direction == 1 ? 1 : 0),
      List(kSpeedId, "Speed Mode :", {}, 0),
      Edit(kStepId, ControlKind::kInteger, "Step :", std::to_string(step)),
      Radios(kPositionId, "Position", {"C", "CL", "R", "L", "B", "D", "NULL"},
             position >= 0 && position <= 6 ? position : 0),
      Radios(kTypeId, "Type", {"HOME", "MoveOnly", "Spit"}, type >= 0 && type <= 2 ? type : 0),
      Button(kOkId, "OK"),
      Button(kCancelId, "EXIT")};
  FillSpeedList(motor == 1);
}

void MotorMoveDialog::FillSpeedList(bool pf) {
  Control* list = control(kSpeedId);
  list->options.clear();
  for (int mode = pf ? 0 : 1; mode <= (pf ? 9 : 7); ++mode) {
    list->options.push_back("Mode " + std::to_string(mode));
  }
  list->selected = 0;
  control(kPositionId)->enabled = !pf;
  control(kTypeId)->enabled = !pf;
}

void MotorMoveDialog::Changed(int control_id) {
  if (control_id == kMotorId) FillSpeedList(Selected(kMotorId) == 1);
}

PressOutcome MotorMoveDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  IntegerEntry entry = ReadIntegerBox(*this, kStepId);
  if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
  step = *entry.value;
  motor = Selected(kMotorId);
  direction = Selected(kDirectionId);
  position = Selected(kPositionId);
  type = Selected(kTypeId);
  // The entries are numbered from 0 for PF and from 1 for CR: the mode is the number shown.
  speed_mode = std::max(0, Selected(kSpeedId)) + (motor == 1 ? 0 : 1);
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
