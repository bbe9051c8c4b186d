#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The value entry (189) of the Bi-d alignment: an offset of -15 ... +15 read off the chart, added
// to a running total that the object keeps across showings. "RePrint" (the cancel button, also
// the default button, so Enter and Esc both reprint) asks for another chart while the total stays
// within -60 ... +60; "OK" accepts and leaves the judgement of the total to the caller.
class ValueEntryDialog : public DialogModel {
 public:
  static constexpr int kValueId = 1182;
  static constexpr int kRePrintId = kCancelId;

  int id() const override { return 189; }
  std::string caption() const override { return caption_text; }
  void Load() override;
  PressOutcome Press(int button_id) override;
  int default_button() const override { return kRePrintId; }

  std::string caption_text;
  int value = 0;
  int running_total = 0;
  int reprint = 0;
};

}  // namespace tarvo
