#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// "Charge" (194): the charge flag of the ROM data, 0 or 1.
class ChargeDialog : public DialogModel {
 public:
  static constexpr int kValueId = 1182;

  int id() const override { return 194; }
  std::string caption() const override { return "Charge"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  int value = 0;
};

}  // namespace tarvo
