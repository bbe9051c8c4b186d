#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// "PowerOff" (209): switch the printer off with or without its shipment data; "Set shipment
// data" preselected.
class PowerOffDialog : public DialogModel {
 public:
  static constexpr int kChoiceId = 1136;  // "Not Set shipment data" 1136, "Set shipment data" 1137

  int id() const override { return 209; }
  std::string caption() const override { return "PowerOff"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  int choice = 1;  // 0 "Not Set shipment data", 1 "Set shipment data"
};

}  // namespace tarvo
