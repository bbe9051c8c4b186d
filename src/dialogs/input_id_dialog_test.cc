#include "dialogs/input_id_dialog.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using Kind = InputIdDialog::Kind;

// Types `text` into the dialog's box and presses OK.
PressOutcome Enter(InputIdDialog& dialog, const std::string& text) {
  dialog.control(dialog.edit_id())->text = text;
  return dialog.Press(DialogModel::kOkId);
}

void ExpectRefused(const PressOutcome& out, const std::string& text, bool select_all, int focus) {
  ASSERT_TRUE(out.refusal.has_value()) << "expected refusal " << text;
  EXPECT_FALSE(out.closed.has_value());
  EXPECT_EQ(out.refusal->text, text);
  EXPECT_EQ(out.refusal->caption, "Error");
  EXPECT_EQ(out.refusal->focus_id, focus);
  EXPECT_EQ(out.refusal->select_all, select_all);
}

TEST(InputIdDialog, HeadIdTurnedToCapitalsAndShownSo) {
  InputIdDialog dialog(Kind::kHeadId);
  EXPECT_EQ(dialog.id(), 179);
  EXPECT_EQ(dialog.caption(), "Input Head ID");
  dialog.Load();
  EXPECT_EQ(dialog.controls()[0].label, "Head ID :");
  PressOutcome out = Enter(dialog, "ab12cd");
  ASSERT_TRUE(out.closed.has_value());
  EXPECT_EQ(*out.closed, DialogResult::kOk);
  EXPECT_EQ(dialog.text, "AB12CD");
  EXPECT_EQ(dialog.control(1185)->text, "AB12CD");
}

TEST(InputIdDialog, HeadIdChecksInOrder) {
  InputIdDialog dialog(Kind::kHeadId);
  dialog.text = "PRESET";
  dialog.Load();
  EXPECT_EQ(dialog.control(1185)->text, "PRESET");
  ExpectRefused(Enter(dialog, ""), "Head ID Can't be NULL !!", false, 1185);
  ExpectRefused(Enter(dialog, "AB12C"), "Length of Head ID must be 6 !!", true, 1185);
  ExpectRefused(Enter(dialog, "AB-12C"), "Head ID Error !!", true, 1185);
  // A wrong length is reported before a wrong character.
  ExpectRefused(Enter(dialog, "A-"), "Length of Head ID must be 6 !!", true, 1185);
  // Bytes of a multi-byte character are no alphanumerics.
  ExpectRefused(Enter(dialog,
                      "\xC3\x84"
                      "B12C"),
                "Head ID Error !!", true, 1185);
  // Refusals leave the preset alone, so a Cancel now hands it back.
  EXPECT_EQ(dialog.text, "PRESET");
  EXPECT_EQ(*dialog.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);
  EXPECT_EQ(dialog.text, "PRESET");
}

TEST(InputIdDialog, MachineNumber) {
  InputIdDialog dialog(Kind::kMachineNo);
  EXPECT_EQ(dialog.id(), 188);
  EXPECT_EQ(dialog.caption(), "Input Machine No.");
  dialog.Load();
  ExpectRefused(Enter(dialog, ""), "Machine No. Can't be NULL !!", false, 1185);
  ExpectRefused(Enter(dialog, "123456"), "Length of Machine No. must be 5 !!", true, 1185);
  ExpectRefused(Enter(dialog, "12 45"), "Machine No. Error!!", true, 1185);
  EXPECT_TRUE(Enter(dialog, "a1b2c").closed);
  EXPECT_EQ(dialog.text, "A1B2C");
}

TEST(InputIdDialog, MachineIdIsALetterAndTwelveDigits) {
  InputIdDialog dialog(Kind::kMachineId);
  EXPECT_EQ(dialog.id(), 204);
  EXPECT_EQ(dialog.caption(), "Input Machine ID");
  dialog.Load();
  ExpectRefused(Enter(dialog, ""), "Machine ID Can't be NULL !!", false, 1182);
  ExpectRefused(Enter(dialog, "A12345678901"), "Length of Machine ID must be 13 !!", true, 1182);
  ExpectRefused(Enter(dialog, "a12345678901x"), "Machine ID Error!!", true, 1182);
  ExpectRefused(Enter(dialog, "1234567890123"), "Machine ID Error!!", true, 1182);
  EXPECT_TRUE(Enter(dialog, "b123456789012").closed);
  EXPECT_EQ(dialog.text, "B123456789012");
}

}  // namespace
}  // namespace tarvo
