#include "dialogs/printer_option_dialogs.h"

#include <gtest/gtest.h>

#include "operators/recording_operator.h"

namespace tarvo {
namespace {

void ExpectEnabled(const DialogModel& d, std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) EXPECT_EQ(d.control(id)->enabled, enabled) << "control " << id;
}

void Choose(DialogModel& d, int radio_id, int index) {
  d.control(radio_id)->selected = index;
  d.Changed(radio_id);
}

TEST(SetInitOffsetDialog, ShowsTheValuesAndEnablesTheBoxesOnlyWhileOnIsChosen) {
  SetInitOffsetDialog d;
  d.ms1 = -3;
  d.tof = 12;
  d.Load();
  EXPECT_EQ(d.id(), 211);
  EXPECT_EQ(d.caption(), "SetInitOffset");
  const Control& radios = *d.control(1294);
  EXPECT_EQ(radios.options, (std::vector<std::string>{"On", "Off"}));
  EXPECT_EQ(radios.option_ids, (std::vector<int>{1294, 1295}));
  EXPECT_EQ(radios.selected, 0);
  EXPECT_EQ(d.control(1259)->label, "MS1");
  EXPECT_EQ(d.control(1259)->text, "-3");
  EXPECT_EQ(d.control(1094)->label, "TOF");
  EXPECT_EQ(d.control(1094)->text, "12");
  EXPECT_EQ(d.control(DialogModel::kOkId)->label, "APPLY");
  EXPECT_EQ(d.control(DialogModel::kCancelId)->label, "EXIT");
  ExpectEnabled(d, {1259, 1260, 1262, 1263, 1094}, true);
  Choose(d, 1294, 1);
  ExpectEnabled(d, {1259, 1260, 1262, 1263, 1094}, false);
  Choose(d, 1294, 0);
  ExpectEnabled(d, {1259, 1260, 1262, 1263, 1094}, true);
}

TEST(SetInitOffsetDialog, DisabledOpensOffAndApplyStillTakesTheUnchangedValues) {
  SetInitOffsetDialog d;
  d.disable = 7;  // any value but 0 keeps the offsets off a new head
  d.ms2 = 5;
  d.ecn = -128;
  d.Load();
  EXPECT_EQ(d.control(1294)->selected, 1);
  ExpectEnabled(d, {1259, 1260, 1262, 1263, 1094}, false);
  EXPECT_EQ(d.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(d.disable, 1);
  EXPECT_EQ(d.ms2, 5);
  EXPECT_EQ(d.ecn, -128);
}

TEST(SetInitOffsetDialog, ApplyTakesSignedIntegersWithoutRangeAndRefusesText) {
  SetInitOffsetDialog d;
  d.Load();
  d.control(1259)->text = "-2147483648";
  d.control(1260)->text = " 300 ";
  d.control(1262)->text = "1.5";
  PressOutcome out = d.Press(DialogModel::kOkId);
  ASSERT_TRUE(out.refusal.has_value());
  EXPECT_FALSE(out.closed.has_value());
  EXPECT_EQ(out.refusal->text, "Please enter an integer.");
  EXPECT_EQ(out.refusal->caption, "SetInitOffset");
  EXPECT_EQ(out.refusal->focus_id, 1262);
  EXPECT_EQ(d.ms1, 0);  // nothing taken from a refused entry
  d.control(1262)->text = "-1";
  Choose(d, 1294, 1);
  EXPECT_EQ(d.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(d.disable, 1);
  EXPECT_EQ(d.ms1, INT32_MIN);
  EXPECT_EQ(d.ms2, 300);
  EXPECT_EQ(d.vsd, -1);
}

TEST(SetInitOffsetDialog, ExitKeepsTheMembers) {
  SetInitOffsetDialog d;
  d.ms1 = 4;
  d.Load();
  d.control(1259)->text = "9";
  Choose(d, 1294, 1);
  EXPECT_EQ(d.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);
  EXPECT_EQ(d.ms1, 4);
  EXPECT_EQ(d.disable, 0);
}

TEST(InkSystemInitDialog, DefaultsShowOnWithCl2kkDisabled) {
  InkSystemInitDialog d;
  d.Load();
  EXPECT_EQ(d.id(), 214);
  EXPECT_EQ(d.caption(), "InkSystemInit");
  const Control& radios = *d.control(1305);
  EXPECT_EQ(radios.option_ids, (std::vector<int>{1305, 1294}));
  EXPECT_EQ(radios.selected, 0);
  EXPECT_EQ(d.control(1306)->label, "CL2 KK");
  EXPECT_EQ(d.control(1306)->text, "2");
  EXPECT_EQ(d.control(1185)->label, "unplugAcmlt");
  EXPECT_EQ(d.control(1185)->text, "24");
  EXPECT_EQ(d.control(1307)->label, "tclCondition");
  EXPECT_EQ(d.control(1307)->text, "3");
  ExpectEnabled(d, {1306}, false);
  ExpectEnabled(d, {1185, 1307}, true);
  EXPECT_EQ(d.control(DialogModel::kOkId)->label, "OK");
  EXPECT_EQ(d.control(DialogModel::kCancelId)->label, "Cancel");
  // "On" enables all three, "Off" disables them.
  Choose(d, 1305, 0);
  ExpectEnabled(d, {1306, 1185, 1307}, true);
  Choose(d, 1305, 1);
  ExpectEnabled(d, {1306, 1185, 1307}, false);
}

TEST(InkSystemInitDialog, OkRefusesValuesOutsideAByteAndKeepsTheDialogOpen) {
  InkSystemInitDialog d;
  d.Load();
  for (const char* bad : {"300", "-1", "x", ""}) {
    d.control(1307)->text = bad;
    PressOutcome out = d.Press(DialogModel::kOkId);
    ASSERT_TRUE(out.refusal.has_value()) << bad;
    EXPECT_FALSE(out.closed.has_value());
    EXPECT_EQ(out.refusal->text, "Please enter an integer between 0 and 255.");
    EXPECT_EQ(out.refusal->caption, "InkSystemInit");
    EXPECT_EQ(out.refusal->focus_id, 1307);
    EXPECT_TRUE(out.refusal->select_all);
    EXPECT_EQ(d.tcl_cond, 3);
  }
  d.control(1307)->text = "255";
  d.control(1185)->text = "0";
  Choose(d, 1305, 1);
  EXPECT_EQ(d.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(d.disable_ink, 1);
  EXPECT_EQ(d.tcl_cond, 255);
  EXPECT_EQ(d.unplug_a, 0);
  EXPECT_EQ(d.cl2kk, 2);
}

TEST(PrinterOptionDialogs, ScriptLinesAnswerThem) {
  RecordingOperator op;
  op.QueueDialogLine("fields Initial Offset=On MS1=-3 TOF=4");
  SetInitOffsetDialog offsets;
  offsets.disable = 1;
  EXPECT_EQ(op.ShowDialog(offsets), DialogResult::kOk);
  EXPECT_EQ(offsets.disable, 0);
  EXPECT_EQ(offsets.ms1, -3);
  EXPECT_EQ(offsets.tof, 4);

  op.QueueDialogLine("fields Ink System Init=On CL2 KK=300");
  op.QueueDialogLine("fields CL2 KK=7 unplugAcmlt=30");
  InkSystemInitDialog ink;
  EXPECT_EQ(op.ShowDialog(ink), DialogResult::kOk);
  ASSERT_EQ(op.refusals().size(), 1u);
  EXPECT_EQ(op.refusals()[0].text, "Please enter an integer between 0 and 255.");
  EXPECT_EQ(ink.cl2kk, 7);
  EXPECT_EQ(ink.unplug_a, 30);

  op.QueueDialogLine("exit");
  SetInitOffsetDialog again;
  EXPECT_EQ(op.ShowDialog(again), DialogResult::kCancel);
}

}  // namespace
}  // namespace tarvo
