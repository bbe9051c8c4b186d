#include "dialogs/layout_rules.h"

#include <gtest/gtest.h>

#include "dialogs/motor_move_dialog.h"
#include "dialogs/power_off_dialog.h"

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

}  // namespace
}  // namespace tarvo
