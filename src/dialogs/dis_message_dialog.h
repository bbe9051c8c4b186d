#pragma once

#include <string>

#include "base/edition.h"
#include "dialogs/dialog_model.h"

namespace tarvo {

// "DisMessage" (200), asked after each ink discharge cycle: "Yes" (OK, the default) runs another
// cycle, "No" (Cancel; also Esc and the close box) ends the loop. The library's copy asks in its
// own words, with a line telling the operator to wait for the motor to stop.
class DisMessageDialog : public DialogModel {
 public:
  explicit DisMessageDialog(const Edition& edition) : edition_(edition) {}

  int id() const override { return 200; }
  std::string caption() const override { return "DisMessage"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

 private:
  Edition edition_;
};

}  // namespace tarvo
