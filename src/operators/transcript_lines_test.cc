#include "operators/transcript_lines.h"

#include <gmock/gmock.h>

#include "dialogs/motor_move_dialog.h"
#include "dialogs/value_entry_dialog.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;

// A window view names what the operator did in the lines a script would have answered with, so
// that a transcript taken at a station can be replayed.
TEST(PressEntries, NameTheChangedControlsAndTheButtonAsAScriptWould) {
  MotorMoveDialog dialog;
  dialog.Load();
  const std::vector<Control> shown = dialog.controls();
  EXPECT_THAT(transcript::PressEntries(dialog, shown, DialogModel::kOkId), ElementsAre("< ok"));

  dialog.control(MotorMoveDialog::kMotorId)->selected = 1;
  dialog.control(MotorMoveDialog::kStepId)->text = "120";
  EXPECT_THAT(transcript::PressEntries(dialog, shown, DialogModel::kOkId),
              ElementsAre("< set Motor Type=PF Step=120", "< ok"));
  // "EXIT" carries the cancel id; it is pressed by its name.
  EXPECT_THAT(transcript::PressEntries(dialog, shown, DialogModel::kCancelId),
              ElementsAre("< set Motor Type=PF Step=120", "< exit"));
}

TEST(PressEntries, ABlankedBoxIsAChangeAndAnUnnamedButtonIsCancel) {
  ValueEntryDialog dialog;
  dialog.caption_text = "MS1";
  dialog.Load();
  const std::vector<Control> shown = dialog.controls();
  dialog.control(ValueEntryDialog::kValueId)->text = "";
  EXPECT_THAT(transcript::PressEntries(dialog, shown, ValueEntryDialog::kRePrintId),
              ElementsAre("< set Value=", "< reprint"));
  // Esc on a dialog without a cancel button of its own.
  EXPECT_THAT(transcript::PressEntries(dialog, shown, 4711),
              ElementsAre("< set Value=", "< cancel"));
}

}  // namespace
}  // namespace tarvo
