#include "dialogs/measure_result_dialog.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

constexpr double kMonoDots = 33'708'960;
constexpr double kColourDots = 31'602'150;

MeasureResultDialog Mono() {
  MeasureResultDialog d("Mono Measure", "KDot.prn", kMonoDots);
  d.Load();
  return d;
}

void Type(MeasureResultDialog& d, int id, const std::string& text) {
  d.control(id)->text = text;
}

// Types the weights and presses Measure; returns what the boxes then show.
std::pair<std::string, std::string> Measure(MeasureResultDialog& d, const std::string& before,
                                            const std::string& after) {
  Type(d, MeasureResultDialog::kBeforeId, before);
  Type(d, MeasureResultDialog::kAfterId, after);
  PressOutcome out = d.Press(MeasureResultDialog::kMeasureId);
  EXPECT_FALSE(out.closed);
  return {d.control(MeasureResultDialog::kAverageId)->text,
          d.control(MeasureResultDialog::kResultId)->text};
}

TEST(MeasureResultDialog, StartsFromTheInitialValuesWithTheLimitsDisabled) {
  MeasureResultDialog d = Mono();
  EXPECT_EQ(d.id(), 202);
  EXPECT_EQ(d.caption(), "Mono Measure");
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->text, "0");
  EXPECT_EQ(d.control(MeasureResultDialog::kAfterId)->text, "0");
  EXPECT_EQ(d.control(MeasureResultDialog::kMaximumId)->text, "52.9");
  EXPECT_EQ(d.control(MeasureResultDialog::kMinimumId)->text, "40.7");
  EXPECT_FALSE(d.control(MeasureResultDialog::kMaximumId)->enabled);
  EXPECT_FALSE(d.control(MeasureResultDialog::kMinimumId)->enabled);
  EXPECT_EQ(d.control(MeasureResultDialog::kAverageId)->text, "0");
  EXPECT_EQ(d.control(MeasureResultDialog::kResultId)->text, "");
  for (int button : {1287, 1291, 1027, 1}) {
    ASSERT_NE(d.control(button), nullptr) << button;
    EXPECT_EQ(d.control(button)->kind, ControlKind::kButton);
  }
  EXPECT_EQ(d.control(1287)->label, "Print File");
  EXPECT_EQ(d.control(1)->label, "EXIT");
  // The units stand beside their boxes; no static text of their own.
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->unit, "g");
  EXPECT_EQ(d.control(MeasureResultDialog::kAfterId)->unit, "g");
  for (int box : {MeasureResultDialog::kMaximumId, MeasureResultDialog::kMinimumId,
                  MeasureResultDialog::kAverageId}) {
    EXPECT_EQ(d.control(box)->unit, "ng") << box;
  }
  EXPECT_EQ(d.control(MeasureResultDialog::kResultId)->unit, "");
  for (const Control& c : d.controls()) EXPECT_NE(c.kind, ControlKind::kLabel);
}

TEST(MeasureResultDialog, WorkedExamples) {
  MeasureResultDialog mono = Mono();
  auto [avg, result] = Measure(mono, "25", "23.5");
  EXPECT_EQ(avg.substr(0, 7), "44.4985");  // 44.4986 ng rounded
  EXPECT_NEAR(mono.average, 44.4986, 5e-5);
  EXPECT_EQ(result, "PASS");

  MeasureResultDialog colour("CMY Measure", "CMYDot.prn", kColourDots);
  colour.Load();
  auto [cavg, cresult] = Measure(colour, "25", "23.5");
  EXPECT_NEAR(colour.average, 47.4651, 5e-5);
  EXPECT_EQ(cresult, "PASS");
  EXPECT_EQ(cavg, MeasureResultDialog::Format(colour.average));

  MeasureResultDialog heavy = Mono();
  auto [havg, hresult] = Measure(heavy, "25", "23.1");
  EXPECT_NEAR(heavy.average, 56.3648, 5e-5);
  EXPECT_EQ(hresult, "FAIL");
}

TEST(MeasureResultDialog, NumbersShowUpToFifteenSignificantDigits) {
  EXPECT_EQ(MeasureResultDialog::Format(0), "0");
  EXPECT_EQ(MeasureResultDialog::Format(52.9), "52.9");
  EXPECT_EQ(MeasureResultDialog::Format(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(MeasureResultDialog::Format(-2.5e-7), "-2.5e-07");
  EXPECT_EQ(MeasureResultDialog::Format(33'708'960), "33708960");
}

// The weights whose measurement comes out at exactly `target`.
double BeforeWeightFor(double target, double dots) {
  double before = target * dots / 1e9;
  for (int i = 0; i < 64; ++i) {
    double avg = MeasureResultDialog::AverageOf(before, 0, dots);
    if (avg == target) return before;
    before = std::nextafter(before, avg < target ? 1e9 : -1e9);
  }
  ADD_FAILURE() << "no weight gives " << target;
  return 0;
}

TEST(MeasureResultDialog, LimitsAreInclusive) {
  for (double limit : {40.7, 52.9}) {
    MeasureResultDialog d = Mono();
    double before = BeforeWeightFor(limit, kMonoDots);
    auto [avg, result] = Measure(d, MeasureResultDialog::Format(before), "0");
    ASSERT_EQ(d.average, limit);
    EXPECT_EQ(avg, MeasureResultDialog::Format(limit));
    EXPECT_EQ(result, "PASS") << limit;
  }
  EXPECT_EQ(MeasureResultDialog::Judge(std::nextafter(40.7, 0.0), 40.7, 52.9), "FAIL");
  EXPECT_EQ(MeasureResultDialog::Judge(std::nextafter(52.9, 99.0), 40.7, 52.9), "FAIL");
}

TEST(MeasureResultDialog, AfterHeavierThanBeforeGivesANegativeAverageAndFail) {
  MeasureResultDialog d = Mono();
  auto [avg, result] = Measure(d, "23.5", "25");
  EXPECT_LT(d.average, 0);
  EXPECT_EQ(avg.front(), '-');
  EXPECT_EQ(result, "FAIL");
}

TEST(MeasureResultDialog, ResetClearsWeightsAverageAndResultButKeepsTheLimits) {
  MeasureResultDialog d = Mono();
  Measure(d, "25", "23.5");
  EXPECT_FALSE(d.Press(MeasureResultDialog::kResetId).closed);
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->text, "0");
  EXPECT_EQ(d.control(MeasureResultDialog::kAfterId)->text, "0");
  EXPECT_EQ(d.control(MeasureResultDialog::kAverageId)->text, "0");
  EXPECT_EQ(d.control(MeasureResultDialog::kResultId)->text, "");
  EXPECT_EQ(d.control(MeasureResultDialog::kMaximumId)->text, "52.9");
  EXPECT_EQ(d.control(MeasureResultDialog::kMinimumId)->text, "40.7");
  EXPECT_EQ(d.maximum, 52.9);
  EXPECT_EQ(d.minimum, 40.7);
}

TEST(MeasureResultDialog, ABadBoxAndTheBoxesCopiedAfterItKeepTheirValues) {
  MeasureResultDialog d = Mono();
  Measure(d, "25", "23.5");  // members: before 25, after 23.5
  // The after weight is copied before the before weight: a bad after weight leaves both.
  Type(d, MeasureResultDialog::kBeforeId, "30");
  Type(d, MeasureResultDialog::kAfterId, "abc");
  PressOutcome out = d.Press(MeasureResultDialog::kMeasureId);
  ASSERT_TRUE(out.refusal);
  EXPECT_FALSE(out.closed);
  EXPECT_EQ(out.refusal->text, "Please enter a number.");
  EXPECT_EQ(out.refusal->caption, "Mono Measure");
  EXPECT_EQ(out.refusal->focus_id, MeasureResultDialog::kAfterId);
  EXPECT_EQ(d.before_weight, 25);
  EXPECT_EQ(d.after_weight, 23.5);
  // The measurement still ran, on the previous values, and every box shows the members again.
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->text, "25");
  EXPECT_EQ(d.control(MeasureResultDialog::kAfterId)->text, "23.5");
  EXPECT_EQ(d.test_result, "PASS");

  // A bad before weight (copied last) lets the after weight through.
  Type(d, MeasureResultDialog::kBeforeId, "");
  Type(d, MeasureResultDialog::kAfterId, "23.1");
  out = d.Press(MeasureResultDialog::kMeasureId);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(out.refusal->focus_id, MeasureResultDialog::kBeforeId);
  EXPECT_EQ(d.before_weight, 25);
  EXPECT_EQ(d.after_weight, 23.1);
  EXPECT_EQ(d.test_result, "FAIL");

  // A bad average (copied second) stops the weights from being copied, also on Reset, which
  // then still clears them.
  Measure(d, "25", "23.5");
  Type(d, MeasureResultDialog::kAverageId, "x");
  Type(d, MeasureResultDialog::kBeforeId, "26");
  out = d.Press(MeasureResultDialog::kMeasureId);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(out.refusal->focus_id, MeasureResultDialog::kAverageId);
  EXPECT_EQ(d.before_weight, 25);
  Type(d, MeasureResultDialog::kAverageId, "x");
  out = d.Press(MeasureResultDialog::kResetId);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(d.before_weight, 0);
  EXPECT_EQ(d.control(MeasureResultDialog::kAverageId)->text, "0");
}

TEST(MeasureResultDialog, ExitStaysOpenOnABadBoxAndEscClosesWithoutCopying) {
  MeasureResultDialog d = Mono();
  Type(d, MeasureResultDialog::kBeforeId, "1,5");
  PressOutcome out = d.Press(MeasureResultDialog::kExitId);
  EXPECT_FALSE(out.closed);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(out.refusal->focus_id, MeasureResultDialog::kBeforeId);
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->text, "1,5");  // left as typed

  Type(d, MeasureResultDialog::kBeforeId, "1.5");
  out = d.Press(MeasureResultDialog::kExitId);
  ASSERT_TRUE(out.closed);
  EXPECT_EQ(*out.closed, DialogResult::kOk);
  EXPECT_EQ(d.before_weight, 1.5);

  MeasureResultDialog esc = Mono();
  Type(esc, MeasureResultDialog::kBeforeId, "9");
  out = esc.Press(DialogModel::kCancelId);
  ASSERT_TRUE(out.closed);
  EXPECT_EQ(*out.closed, DialogResult::kCancel);
  EXPECT_EQ(esc.before_weight, 0);
}

TEST(MeasureResultDialog, PrintFileAsksThePageAndKeepsTheBoxesForTheNextShowing) {
  MeasureResultDialog d = Mono();
  Type(d, MeasureResultDialog::kBeforeId, "7");  // typed, not yet copied
  PressOutcome out = d.Press(MeasureResultDialog::kPrintFileId);
  ASSERT_TRUE(out.closed);
  EXPECT_TRUE(d.print_requested);
  EXPECT_EQ(d.before_weight, 0);
  d.Load();  // shown again after the print: as it was left
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->text, "7");
  d.Load();  // a showing of its own starts from the members
  EXPECT_EQ(d.control(MeasureResultDialog::kBeforeId)->text, "0");
}

}  // namespace
}  // namespace tarvo
