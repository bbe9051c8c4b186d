#include "dialogs/inspection_dialog.h"

#include <algorithm>

namespace tarvo {
namespace {

constexpr const char* kRowNames[] = {"A-1", "B-2", "C-3", "D-4", "E-5", "F-6", "G-7", "H-8", "I-9"};
constexpr int kFirstRadio = 1136;

}  // namespace

size_t InspectionDialog::RowCount(int kind) {
  switch (kind) {
    case 1:
    case 2:
    case 4:
      return 2;
    case 3:
      return 1;
    default:
      return 9;
  }
}

InspectionDialog::InspectionDialog(int kind) : kind_(ValidKind(kind) ? kind : 0) {
  static constexpr const char* kCaptions[] = {"G0S A4", "S/F Letter", "Photo", "Post Card",
                                              "Envelope"};
  caption_text = kCaptions[kind_];
  choices.assign(RowCount(kind_), 0);
  verdicts.assign(RowCount(kind_), 0);
}

int InspectionDialog::id() const {
  switch (kind_) {
    case 0:
      return 205;
    case 3:
      return 207;
    default:
      return 206;
  }
}

void InspectionDialog::Load() {
  controls_.clear();
  for (size_t row = 0; row < choices.size(); ++row) {
    int first = kFirstRadio + 2 * static_cast<int>(row);
    controls_.push_back(Radios(first, kRowNames[row], {"Pass", "Fail"}, choices[row] == 1 ? 1 : 0));
  }
  controls_.push_back(Button(kOkId, "OK"));
}

PressOutcome InspectionDialog::Press(int button_id) {
  if (button_id != kOkId) {
    std::fill(verdicts.begin(), verdicts.end(), 0);
    return PressOutcome::Close(DialogResult::kCancel);
  }
  for (size_t row = 0; row < choices.size(); ++row) {
    choices[row] = Selected(kFirstRadio + 2 * static_cast<int>(row)) == 1 ? 1 : 0;
    verdicts[row] = choices[row] == 0 ? 1 : 0;
  }
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
