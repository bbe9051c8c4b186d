#include "dialogs/dis_message_dialog.h"

namespace tarvo {

void DisMessageDialog::Load() {
  controls_.clear();
  if (edition_.is_library()) {
    controls_.push_back(Static(-1, "請等馬達靜止後再選擇"));
    controls_.push_back(Static(-1, "再一次排墨?"));
  } else {
    controls_.push_back(Static(-1, "DisCharge Again?"));
  }
  controls_.push_back(Button(kOkId, "Yes"));
  controls_.push_back(Button(kCancelId, "No"));
}

PressOutcome DisMessageDialog::Press(int button_id) {
  return PressOutcome::Close(button_id == kOkId ? DialogResult::kOk : DialogResult::kCancel);
}

}  // namespace tarvo
