#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The pass/fail prompt (203): the operator's verdict on a printed chart or a finished step.
// "PASS" closes with OK and verdict 1; "FAIL" is the cancel button, so Esc and the close box
// count as FAIL too.
class PassFailDialog : public DialogModel {
 public:
  static constexpr int kPassId = kOkId;
  static constexpr int kFailId = kCancelId;

  int id() const override { return 203; }
  std::string caption() const override { return caption_text; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  std::string caption_text;
  uint8_t verdict = 0;
};

}  // namespace tarvo
