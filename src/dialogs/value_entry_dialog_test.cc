#include "dialogs/value_entry_dialog.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

PressOutcome Press(ValueEntryDialog& dialog, const std::string& text, int button) {
  dialog.Load();
  dialog.control(ValueEntryDialog::kValueId)->text = text;
  return dialog.Press(button);
}

TEST(ValueEntryDialog, RangeCheckedOnBothButtons) {
  ValueEntryDialog dialog;
  dialog.caption_text = "MS1";
  for (int button : {ValueEntryDialog::kRePrintId, DialogModel::kOkId}) {
    for (const char* text : {"16", "-16"}) {
      PressOutcome out = Press(dialog, text, button);
      ASSERT_TRUE(out.refusal);
      EXPECT_EQ(out.refusal->text, "Range: -15 ~ +15 !!");
      EXPECT_EQ(out.refusal->caption, "Error");
      EXPECT_EQ(out.refusal->focus_id, 1182);
      EXPECT_TRUE(out.refusal->select_all);
    }
  }
  EXPECT_EQ(dialog.running_total, 0);
}

TEST(ValueEntryDialog, RePrintKeepsTheFlagUntilTheTotalLeavesSixty) {
  ValueEntryDialog dialog;
  dialog.reprint = 1;
  for (int i = 0; i < 4; ++i) {
    PressOutcome out = Press(dialog, "15", ValueEntryDialog::kRePrintId);
    ASSERT_TRUE(out.closed);
    EXPECT_EQ(*out.closed, DialogResult::kCancel);
    EXPECT_EQ(dialog.reprint, 1);
  }
  EXPECT_EQ(dialog.running_total, 60);
  Press(dialog, "1", ValueEntryDialog::kRePrintId);
  EXPECT_EQ(dialog.running_total, 61);
  EXPECT_EQ(dialog.reprint, 0);
}

TEST(ValueEntryDialog, OkAddsAndClearsTheFlagWithoutJudgingTheTotal) {
  ValueEntryDialog dialog;
  dialog.reprint = 1;
  dialog.running_total = -55;
  PressOutcome out = Press(dialog, "-10", DialogModel::kOkId);
  EXPECT_EQ(*out.closed, DialogResult::kOk);
  EXPECT_EQ(dialog.running_total, -65);
  EXPECT_EQ(dialog.value, -10);
  EXPECT_EQ(dialog.reprint, 0);
}

TEST(ValueEntryDialog, TextThatIsNoIntegerChangesNothing) {
  ValueEntryDialog dialog;
  dialog.caption_text = "VSD";
  dialog.value = 3;
  dialog.running_total = 7;
  dialog.reprint = 1;
  for (const char* text : {"abc", "", "1.5", "99999999999"}) {
    PressOutcome out = Press(dialog, text, ValueEntryDialog::kRePrintId);
    ASSERT_TRUE(out.refusal) << text;
    EXPECT_EQ(out.refusal->text, "Please enter an integer.");
    EXPECT_EQ(out.refusal->caption, "VSD");
  }
  EXPECT_EQ(dialog.value, 3);
  EXPECT_EQ(dialog.running_total, 7);
  EXPECT_EQ(dialog.reprint, 1);
  // Without a caption the message is captioned "Error".
  ValueEntryDialog bare;
  EXPECT_EQ(Press(bare, "x", DialogModel::kOkId).refusal->caption, "Error");
}

TEST(ValueEntryDialog, EnterAndEscBothReprint) {
  ValueEntryDialog dialog;
  EXPECT_EQ(dialog.default_button(), DialogModel::kCancelId);
  dialog.Load();
  EXPECT_EQ(dialog.control(DialogModel::kCancelId)->label, "RePrint");
  EXPECT_EQ(dialog.control(DialogModel::kOkId)->label, "OK");
}

}  // namespace
}  // namespace tarvo
