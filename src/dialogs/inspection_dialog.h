#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The visual inspection of a quality chart, one Pass/Fail row per area of the page:
//   kind 0: 205 "G0S A4", rows "A-1" ... "I-9"    kind 3: 207 "Post Card", row "A-1"
//   kinds 1, 2, 4: 206 "S/F Letter", "Photo", "Envelope", rows "A-1" and "B-2"
// Row k has the radios "Pass" (1136 + 2k) and "Fail" (1137 + 2k); every row starts at Pass.
// OK sets each verdict byte to 1 for Pass and 0 for Fail. A dialog dismissed without OK (Esc,
// the close box) sets every verdict byte to 0: an inspection nobody confirmed has not passed.
class InspectionDialog : public DialogModel {
 public:
  // Kinds outside 0-4 are treated as kind 0.
  explicit InspectionDialog(int kind);

  int id() const override;
  std::string caption() const override { return caption_text; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  int kind() const { return kind_; }
  static bool ValidKind(int kind) { return kind >= 0 && kind <= 4; }
  // The number of rows of an inspection kind: 9, 2, 2, 1, 2.
  static size_t RowCount(int kind);

  std::string caption_text;       // preset from the kind; 206 shows whatever the caller sets
  std::vector<int> choices;       // per row: 0 Pass, 1 Fail
  std::vector<uint8_t> verdicts;  // per row: 1 Pass, 0 Fail

 private:
  int kind_;
};

}  // namespace tarvo
