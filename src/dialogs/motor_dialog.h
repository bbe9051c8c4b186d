#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// "Motor" (208): lock, unlock, hold or release the motors; "Lock" preselected.
class MotorDialog : public DialogModel {
 public:
  static constexpr int kChoiceId = 1136;  // "Lock" 1136 ... "Release" 1139

  int id() const override { return 208; }
  std::string caption() const override { return "Motor"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  int choice = 0;  // 0 Lock, 1 Unlock, 2 Hold, 3 Release
};

}  // namespace tarvo
