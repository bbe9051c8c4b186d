#include "dialogs/layout_rules.h"

#include <gtest/gtest.h>

#include "dialogs/dis_message_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "dialogs/station_setting_dialogs.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"

namespace tarvo {
namespace {

Control RadioGroup(std::vector<std::string> options) {
  Control c;
  c.kind = ControlKind::kRadio;
  c.options = std::move(options);
  return c;
}

TEST(LayoutRules, EditBoxesAreTheThreeKindsThatHoldTypedText) {
  EXPECT_TRUE(IsEdit(ControlKind::kText));
  EXPECT_TRUE(IsEdit(ControlKind::kInteger));
  EXPECT_TRUE(IsEdit(ControlKind::kDecimal));
  for (ControlKind kind :
       {ControlKind::kRadio, ControlKind::kList, ControlKind::kLabel, ControlKind::kButton}) {
    EXPECT_FALSE(IsEdit(kind));
  }
}

TEST(LayoutRules, SevenShortOptionsStandInARowAnEighthOrALongOneDoesNot) {
  EXPECT_TRUE(RadiosInRow(RadioGroup({"C", "CL", "R", "L", "B", "D", "NULL"})));
  EXPECT_FALSE(RadiosInRow(RadioGroup({"C", "CL", "R", "L", "B", "D", "NULL", "X"})));
  EXPECT_TRUE(RadiosInRow(RadioGroup({"MoveOnly", "Spit"})));    // eight characters
  EXPECT_FALSE(RadiosInRow(RadioGroup({"MoveOnly!", "Spit"})));  // nine
}

TEST(LayoutRules, TheDialogsGroupsAsTheyAreShown) {
  MotorMoveDialog motor;
  motor.Load();
  EXPECT_TRUE(RadiosInRow(*motor.control(MotorMoveDialog::kPositionId)));
  EXPECT_TRUE(RadiosInRow(*motor.control(MotorMoveDialog::kTypeId)));
  PowerOffDialog power_off;
  power_off.Load();
  EXPECT_FALSE(RadiosInRow(*power_off.control(PowerOffDialog::kChoiceId)));
}

TEST(LayoutRules, TheFocusStartsInTheFirstControlThatTakesAnEntry) {
  // The current setting is read-only: the focus passes it by to the new customer.
  Station1Dialog station1;
  station1.Load();
  EXPECT_EQ(station1.controls()[FirstFocus(station1.controls())].id, Station1Dialog::kCustomerId);
  // The adjust value is read-only too: the radios come first.
  TofAdjustDialog tof;
  tof.Load();
  EXPECT_EQ(tof.controls()[FirstFocus(tof.controls())].id, 1136);
  ValueEntryDialog value;
  value.Load();
  EXPECT_EQ(value.controls()[FirstFocus(value.controls())].id, ValueEntryDialog::kValueId);
  // Nothing to enter: the first button, disabled ones passed by.
  DisMessageDialog dis(kProgramEdition);
  dis.Load();
  EXPECT_EQ(dis.controls()[FirstFocus(dis.controls())].id, DialogModel::kOkId);
  dis.controls()[FirstFocus(dis.controls())].enabled = false;
  EXPECT_EQ(dis.controls()[FirstFocus(dis.controls())].id, DialogModel::kCancelId);
  dis.controls()[FirstFocus(dis.controls())].enabled = false;
  EXPECT_EQ(FirstFocus(dis.controls()), dis.controls().size());
}

}  // namespace
}  // namespace tarvo
