#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// "TOF Adjustment" (173): the operator judges the top-of-form chart. Radio "1" (preselected at
// every showing) accepts the printed pattern; "2" asks for 25 more, "0" for 25 less. `value` is
// preset by the caller (25 x the TOF setting) and shown read-only.
class TofAdjustDialog : public DialogModel {
 public:
  static constexpr int kValueId = 1182;
  static constexpr int kRadioId = 1136;  // radios "2" 1136, "1" 1137, "0" 1138
  static constexpr int kStep = 25;

  int id() const override { return 173; }
  std::string caption() const override { return "TOF Adjustment"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  // Radio "1" chosen: the caller stores the value.
  bool accepted() const { return choice == 1; }

  int choice = -1;  // radio index: 0 = "2", 1 = "1", 2 = "0"
  int value = 0;
};

}  // namespace tarvo
