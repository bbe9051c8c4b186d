#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// "Motor Move" (147): one move of the carriage (CR) or paper-feed (PF) motor. The speed list
// offers "Mode 1" ... "Mode 7" for CR and "Mode 0" ... "Mode 9" for PF; choosing PF disables the
// Position and Type radios (a PF move ignores them). After OK `speed_mode` is the number shown in
// the chosen entry. "EXIT" closes with Cancel.
class MotorMoveDialog : public DialogModel {
 public:
  static constexpr int kMotorId = 1136;      // "CR" 1136, "PF" 1137
  static constexpr int kDirectionId = 1138;  // "CW" 1138, "CCW" 1139
  static constexpr int kSpeedId = 1271;
  static constexpr int kStepId = 1183;
  static constexpr int kPositionId = 1140;  // "C" ... "NULL", 1140-1146
  static constexpr int kTypeId = 1147;      // "HOME", "MoveOnly", "Spit", 1147-1149

  int id() const override { return 147; }
  std::string caption() const override { return "Motor Move"; }
  void Load() override;
  void Changed(int control_id) override;
  PressOutcome Press(int button_id) override;

  int motor = 0;      // 0 CR, 1 PF
  int direction = 0;  // 0 CW, 1 CCW
  int speed_mode = 0;
  int step = 0;
  int position = 0;  // 0-6: C, CL, R, L, B, D, NULL
  int type = 0;      // 0 HOME, 1 MoveOnly, 2 Spit

 private:
  void FillSpeedList(bool pf);
};

}  // namespace tarvo
