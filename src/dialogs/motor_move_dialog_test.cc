#include "dialogs/motor_move_dialog.h"

#include <gtest/gtest.h>

#include "dialogs/motor_dialog.h"
#include "dialogs/power_off_dialog.h"

namespace tarvo {
namespace {

void ChooseMotor(MotorMoveDialog& dialog, int motor) {
  dialog.control(MotorMoveDialog::kMotorId)->selected = motor;
  dialog.Changed(MotorMoveDialog::kMotorId);
}

TEST(MotorMoveDialog, StartsWithCrAndItsSevenModes) {
  MotorMoveDialog dialog;
  dialog.Load();
  const Control* speed = dialog.control(MotorMoveDialog::kSpeedId);
  ASSERT_EQ(speed->options.size(), 7u);
  EXPECT_EQ(speed->options.front(), "Mode 1");
  EXPECT_EQ(speed->options.back(), "Mode 7");
  EXPECT_EQ(speed->selected, 0);
  EXPECT_EQ(dialog.control(MotorMoveDialog::kPositionId)->options.back(), "NULL");
  EXPECT_EQ(dialog.control(MotorMoveDialog::kPositionId)->option_ids.back(), 1146);
  EXPECT_EQ(dialog.control(MotorMoveDialog::kTypeId)->option_ids.back(), 1149);
  EXPECT_EQ(dialog.control(DialogModel::kCancelId)->label, "EXIT");

  EXPECT_EQ(*dialog.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(dialog.speed_mode, 1);  // "Mode 1"
  EXPECT_EQ(dialog.motor, 0);
}

TEST(MotorMoveDialog, PfOffersModesZeroToNineAndDisablesPositionAndType) {
  MotorMoveDialog dialog;
  dialog.Load();
  dialog.control(MotorMoveDialog::kSpeedId)->selected = 4;
  ChooseMotor(dialog, 1);
  const Control* speed = dialog.control(MotorMoveDialog::kSpeedId);
  ASSERT_EQ(speed->options.size(), 10u);
  EXPECT_EQ(speed->options.front(), "Mode 0");
  EXPECT_EQ(speed->selected, 0);
  EXPECT_FALSE(dialog.control(MotorMoveDialog::kPositionId)->enabled);
  EXPECT_FALSE(dialog.control(MotorMoveDialog::kTypeId)->enabled);

  dialog.control(MotorMoveDialog::kSpeedId)->selected = 9;
  dialog.control(MotorMoveDialog::kDirectionId)->selected = 1;
  dialog.control(MotorMoveDialog::kStepId)->text = "1000";
  EXPECT_EQ(*dialog.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(dialog.motor, 1);
  EXPECT_EQ(dialog.speed_mode, 9);
  EXPECT_EQ(dialog.direction, 1);
  EXPECT_EQ(dialog.step, 1000);

  // Back to CR: seven modes again, radios enabled, "Mode 1" hands back 1.
  dialog.Load();
  ChooseMotor(dialog, 0);
  EXPECT_EQ(dialog.control(MotorMoveDialog::kSpeedId)->options.size(), 7u);
  EXPECT_TRUE(dialog.control(MotorMoveDialog::kPositionId)->enabled);
  dialog.Press(DialogModel::kOkId);
  EXPECT_EQ(dialog.speed_mode, 1);
}

TEST(MotorMoveDialog, StepMustBeAnInteger) {
  MotorMoveDialog dialog;
  dialog.Load();
  dialog.control(MotorMoveDialog::kStepId)->text = "ten";
  PressOutcome out = dialog.Press(DialogModel::kOkId);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(out.refusal->text, "Please enter an integer.");
  EXPECT_EQ(out.refusal->caption, "Motor Move");
  EXPECT_EQ(out.refusal->focus_id, MotorMoveDialog::kStepId);
  EXPECT_EQ(*dialog.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);
}

TEST(MotorAndPowerOffDialogs, Preselections) {
  MotorDialog motor;
  motor.Load();
  EXPECT_EQ(motor.control(MotorDialog::kChoiceId)->options[motor.control(1136)->selected], "Lock");
  motor.control(MotorDialog::kChoiceId)->selected = 3;
  motor.Press(DialogModel::kOkId);
  EXPECT_EQ(motor.choice, 3);

  PowerOffDialog power;
  power.Load();
  const Control* radios = power.control(PowerOffDialog::kChoiceId);
  EXPECT_EQ(radios->options[radios->selected], "Set shipment data");
  EXPECT_EQ(*power.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);
  EXPECT_EQ(power.choice, 1);
}

}  // namespace
}  // namespace tarvo
