#include "base/outcome.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Outcome, TheFirstFailureNotedIsKept) {
  Outcome outcome;
  outcome.Note(Outcome::Done());
  outcome.Note(Outcome::TransferFailed("first"));
  outcome.Note(Outcome::TransferFailed("second"));
  EXPECT_EQ(outcome.step, "first");
  EXPECT_FALSE(outcome.achieved());
  EXPECT_EQ(outcome.ResultCode(), 2);
}

TEST(Outcome, AStepPassedOverLeavesTheResultStanding) {
  Outcome passed;
  passed.PassOver(Outcome::TransferFailed("motor"));
  EXPECT_FALSE(passed.ok());
  EXPECT_TRUE(passed.achieved());

  // Done at the end: the failure passed over shows, the result code is the operation's.
  Outcome done = passed.Then(Outcome::Done());
  EXPECT_EQ(done.step, "motor");
  EXPECT_EQ(done.ResultCode(), 1);
  EXPECT_EQ(done.Code(), 2);

  // The operation's own failure wins.
  Outcome failed = passed.Then(Outcome::VerifyFailed("Write EEPROM Error !!"));
  EXPECT_EQ(failed.step, "Write EEPROM Error !!");
  EXPECT_FALSE(failed.passed_over);
  EXPECT_EQ(failed.ResultCode(), 0);
  EXPECT_EQ(passed.Then(Outcome::Cancelled()).ResultCode(), 2);
  EXPECT_EQ(passed.Then(Outcome::OutOfRange("total")).ResultCode(), 3);
}

TEST(Outcome, NothingNotedGivesTheEnd) {
  Outcome none;
  Outcome end;
  end.PassOver(Outcome::TransferFailed("preamble"));
  EXPECT_EQ(none.Then(end).step, "preamble");
  EXPECT_TRUE(none.Then(Outcome::Done()).ok());
}

}  // namespace
}  // namespace tarvo
