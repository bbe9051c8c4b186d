#include "dialogs/dis_message_dialog.h"

#include <span>
#include <string_view>

namespace tarvo {
namespace {

// The library's copy also tells the operator to wait for the motor to stop.
constexpr std::string_view kProgramLines[] = {"DisCharge Again?"};
constexpr std::string_view kLibraryLines[] = {"請等馬達靜止後再選擇", "再一次排墨?"};
constexpr std::span<const std::string_view> kProgramText = kProgramLines;
constexpr std::span<const std::string_view> kLibraryText = kLibraryLines;

}  // namespace

void DisMessageDialog::Load() {
  controls_.clear();
  for (std::string_view line : edition_.Pick(kProgramText, kLibraryText)) {
    controls_.push_back(Static(-1, std::string(line)));
  }
  controls_.push_back(Button(kOkId, "Yes"));
  controls_.push_back(Button(kCancelId, "No"));
}

PressOutcome DisMessageDialog::Press(int button_id) {
  return PressOutcome::Close(button_id == kOkId ? DialogResult::kOk : DialogResult::kCancel);
}

}  // namespace tarvo
