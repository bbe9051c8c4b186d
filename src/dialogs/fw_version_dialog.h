#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// "FW Version" (195): shows or edits one value under a settable label ("FW Version :", "Error
// Code", "FT Flag", "Init Stuff", ...). No checks; OK hands back the text as edited. The label
// (static 1304 of the resource) is the label of the edit box.
class FwVersionDialog : public DialogModel {
 public:
  static constexpr int kTextId = 1182;

  int id() const override { return 195; }
  std::string caption() const override { return "FW Version"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  std::string text;
  std::string label = "FW Version :";
};

}  // namespace tarvo
