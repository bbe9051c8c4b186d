#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The identifier entries: "Input Head ID" (179, six alphanumerics), "Input Machine No." (188,
// five alphanumerics) and "Input Machine ID" (204, a letter and twelve digits). The text is
// turned to capitals before it is checked; after OK `text` holds the capitals. Cancel leaves
// `text` as the caller preset it.
class InputIdDialog : public DialogModel {
 public:
  enum class Kind { kHeadId, kMachineNo, kMachineId };

  explicit InputIdDialog(Kind kind) : kind_(kind) {}

  int id() const override;
  std::string caption() const override;
  void Load() override;
  PressOutcome Press(int button_id) override;

  Kind kind() const { return kind_; }
  // The edit box: 1185 for the head ID and the machine number, 1182 for the machine ID.
  int edit_id() const;
  // The length a valid entry has: 6, 5 or 13.
  size_t length() const;

  std::string text;

 private:
  Kind kind_;
};

}  // namespace tarvo
