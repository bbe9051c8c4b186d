#include "operations/motor_tests.h"

#include <gtest/gtest.h>

#include "dialogs/motor_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "operations/romdata_test_env.h"

namespace tarvo {
namespace {

using testing_env::Bench;

using Strings = std::vector<std::string>;

// Chooses the motor first, as an operator clicks, then the rest.
RecordingOperator::DialogAnswer MoveAnswer(int motor, int speed_index, std::string steps,
                                           int position, int type, int direction = 0) {
  return [=](DialogModel& d) {
    d.control(MotorMoveDialog::kPositionId)->selected = position;
    d.control(MotorMoveDialog::kTypeId)->selected = type;
    d.control(MotorMoveDialog::kMotorId)->selected = motor;
    d.Changed(MotorMoveDialog::kMotorId);
    d.control(MotorMoveDialog::kDirectionId)->selected = direction;
    d.control(MotorMoveDialog::kSpeedId)->selected = speed_index;
    d.control(MotorMoveDialog::kStepId)->text = steps;
    return DialogModel::kOkId;
  };
}

RecordingOperator::DialogAnswer Choose(int id, int choice) {
  return [=](DialogModel& d) {
    d.control(id)->selected = choice;
    return DialogModel::kOkId;
  };
}

TEST(MotorMoveTest, SendsTheChosenMoveBetweenJobMarks) {
  Bench bench;
  bench.op.QueueDialog(MoveAnswer(0, 0, "210", 6, 1, 1));
  EXPECT_TRUE(MotorMoveTest(bench.ctx, bench.link));
  EXPECT_EQ(bench.Received(), (Strings{"J(0,0)", "M(0,1,1,210,6,1)", "J(1,0)"}));
}

TEST(MotorMoveTest, PaperFeedAlwaysMovesOnly) {
  Bench bench;
  bench.op.QueueDialog(MoveAnswer(1, 0, "5", 3, 2));  // "Spit" chosen before switching to PF
  EXPECT_TRUE(MotorMoveTest(bench.ctx, bench.link));
  EXPECT_EQ(bench.Received(), (Strings{"J(0,0)", "M(1,0,0,5,3,1)", "J(1,0)"}));
}

TEST(MotorMoveTest, StepCountGoesOutIn24Bits) {
  Bench bench;
  bench.op.QueueDialog(MoveAnswer(0, 6, "16777217", 0, 0));
  EXPECT_TRUE(MotorMoveTest(bench.ctx, bench.link));
  EXPECT_EQ(bench.Received().at(1), "M(0,0,7,1,0,0)");
}

TEST(MotorMoveTest, ExitSendsNothing) {
  Bench bench;
  bench.op.QueueDialog([](DialogModel&) { return DialogModel::kCancelId; });
  EXPECT_FALSE(MotorMoveTest(bench.ctx, bench.link));
  EXPECT_TRUE(bench.Received().empty());
}

TEST(MotorAction, ChoiceBecomesActionCode) {
  const char* expected[] = {"M(0,0,0,0,0,3)", "M(0,0,0,0,0,4)", "M(0,0,0,0,0,5)", "M(0,0,0,0,0,6)"};
  for (int choice = 0; choice < 4; ++choice) {
    Bench bench;
    bench.op.QueueDialog(Choose(MotorDialog::kChoiceId, choice));
    EXPECT_TRUE(MotorAction(bench.ctx, bench.link));
    EXPECT_EQ(bench.Received(), (Strings{"J(0,0)", expected[choice], "J(1,0)"}));
  }
}

TEST(MotorAction, CancelSendsNothing) {
  Bench bench;
  EXPECT_FALSE(MotorAction(bench.ctx, bench.link));
  EXPECT_TRUE(bench.Received().empty());
}

TEST(PowerOffTest, DefaultStoresShipmentData) {
  Bench bench;
  bench.op.QueueDialog([](DialogModel&) { return DialogModel::kOkId; });
  EXPECT_TRUE(PowerOffTest(bench.ctx, bench.link));
  bench.op.QueueDialog(Choose(PowerOffDialog::kChoiceId, 0));
  EXPECT_TRUE(PowerOffTest(bench.ctx, bench.link));
  EXPECT_FALSE(PowerOffTest(bench.ctx, bench.link));  // cancelled
  EXPECT_EQ(bench.Received(), (Strings{"p(1)", "p(0)"}));
  EXPECT_FALSE(bench.printer.powered());
}

}  // namespace
}  // namespace tarvo
