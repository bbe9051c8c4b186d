#include "dialogs/tof_adjust_dialog.h"

#include <gtest/gtest.h>

#include "dialogs/charge_dialog.h"
#include "dialogs/fw_version_dialog.h"

namespace tarvo {
namespace {

TEST(TofAdjustDialog, RadioOneIsPreselectedAtEveryShowing) {
  TofAdjustDialog dialog;
  dialog.value = 50;
  dialog.Load();
  const Control* radios = dialog.control(TofAdjustDialog::kRadioId);
  ASSERT_NE(radios, nullptr);
  EXPECT_EQ(radios->options, (std::vector<std::string>{"2", "1", "0"}));
  EXPECT_EQ(radios->option_ids, (std::vector<int>{1136, 1137, 1138}));
  EXPECT_EQ(radios->selected, 1);
  EXPECT_TRUE(dialog.control(TofAdjustDialog::kValueId)->read_only);
  EXPECT_EQ(dialog.control(TofAdjustDialog::kValueId)->text, "50");

  EXPECT_EQ(*dialog.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_TRUE(dialog.accepted());
  EXPECT_EQ(dialog.value, 50);
}

TEST(TofAdjustDialog, TwoAddsAndZeroSubtracts) {
  TofAdjustDialog dialog;
  dialog.value = -25;
  dialog.Load();
  dialog.control(TofAdjustDialog::kRadioId)->selected = 0;  // "2"
  dialog.Press(DialogModel::kOkId);
  EXPECT_EQ(dialog.value, 0);
  EXPECT_FALSE(dialog.accepted());
  EXPECT_EQ(dialog.control(TofAdjustDialog::kValueId)->text, "0");

  dialog.Load();
  EXPECT_EQ(dialog.control(TofAdjustDialog::kRadioId)->selected, 1);
  dialog.control(TofAdjustDialog::kRadioId)->selected = 2;  // "0"
  dialog.Press(DialogModel::kOkId);
  EXPECT_EQ(dialog.value, -25);
  EXPECT_EQ(dialog.choice, 2);

  dialog.Load();
  dialog.control(TofAdjustDialog::kRadioId)->selected = 0;
  EXPECT_EQ(*dialog.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);
  EXPECT_EQ(dialog.value, -25);
}

TEST(ChargeDialog, OnlyZeroOrOne) {
  ChargeDialog dialog;
  dialog.Load();
  for (const char* text : {"2", "-1"}) {
    dialog.control(ChargeDialog::kValueId)->text = text;
    PressOutcome out = dialog.Press(DialogModel::kOkId);
    ASSERT_TRUE(out.refusal);
    EXPECT_EQ(out.refusal->text, "Error Value !!");
    EXPECT_EQ(out.refusal->caption, "Set Charge");
    EXPECT_EQ(out.refusal->focus_id, 1182);
    EXPECT_TRUE(out.refusal->select_all);
  }
  dialog.control(ChargeDialog::kValueId)->text = "one";
  EXPECT_EQ(dialog.Press(DialogModel::kOkId).refusal->text, "Please enter an integer.");
  dialog.control(ChargeDialog::kValueId)->text = " 1 ";
  EXPECT_EQ(*dialog.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(dialog.value, 1);
}

TEST(FwVersionDialog, ShowsItsLabelAndHandsBackTheText) {
  FwVersionDialog dialog;
  dialog.Load();
  EXPECT_EQ(dialog.control(FwVersionDialog::kTextId)->label, "FW Version :");
  dialog.label = "FT Flag";
  dialog.text = "1";
  dialog.Load();
  EXPECT_EQ(dialog.control(FwVersionDialog::kTextId)->label, "FT Flag");
  EXPECT_EQ(dialog.control(FwVersionDialog::kTextId)->text, "1");
  dialog.control(FwVersionDialog::kTextId)->text = "anything at all";
  EXPECT_EQ(*dialog.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(dialog.text, "anything at all");
}

}  // namespace
}  // namespace tarvo
