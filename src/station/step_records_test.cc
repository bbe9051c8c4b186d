// What the step runner puts on record: one step record per double-click that reached the
// printer, the slots it set, the total after it, the printer, the station folder's settings,
// and the EEPROM writes journalled under the operations' names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/printer_identity.h"
#include "station/station_test_rig.h"

namespace tarvo::station {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct StepRecordsTest : ::testing::Test, StationRig {
  StepRecordsTest() { ctx.records = &sink; }

  // A double-click on the row doing `action` with `argument`.
  RunEnd Run(StepAction action, int argument = 0) {
    return runner.Run(PositionOf(action, argument));
  }

  // The operation names of the journal, each once, in order.
  std::vector<std::string> Operations() const {
    std::vector<std::string> names;
    for (const JournalEntry& e : sink.journal) {
      if (names.empty() || names.back() != e.operation) names.push_back(e.operation);
    }
    return names;
  }
  PrinterIdentity Printer() { return IdentityOf(std::span(printer.eeprom()).first(41)); }

  MemoryRecordSink sink;
};

TEST_F(StepRecordsTest, AWholeRunOfBothStationsIsOnRecordStepByStep) {
  RunToDischarge();
  AnswerDischarge();
  Run(StepAction::kInkDischarge);

  // Station 1: 2 steps; Station 2: 1, 2, 3, 4 and 9.
  ASSERT_EQ(sink.steps.size(), 7u);
  const StepRecord& grease = sink.steps[0];
  EXPECT_EQ(grease.station, 1);
  EXPECT_EQ(grease.position, PositionOf(StepAction::kGrease));
  EXPECT_EQ(grease.text, " 1. Lubrication of Grease");
  EXPECT_THAT(grease.slot_results, ElementsAre(SlotResult{0, "Grease", 1}));
  EXPECT_EQ(grease.total, 2);
  EXPECT_EQ(grease.settings, (StationSettingsRecord{"001", "AB1", "Z9", ""}));
  EXPECT_FALSE(grease.started.empty());
  // Nothing read the printer yet: no identity, not the one Station 1 is about to give it.
  EXPECT_TRUE(grease.printer.empty());

  // The head ID step names the printer as written, though the runner clears its read block.
  const StepRecord& head = sink.steps[1];
  EXPECT_EQ(head.text, " 2. Input Head ID");
  EXPECT_THAT(head.slot_results, ElementsAre(SlotResult{1, "Head ID", 1}));
  EXPECT_EQ(head.total, 1);
  EXPECT_EQ(head.printer.head_id, "AB12CD");
  EXPECT_EQ(head.printer.model_code, "001");
  EXPECT_EQ(head.printer.usb_serial.substr(0, 5), "AB1Z9");

  const StepRecord& initial = sink.steps[2];
  EXPECT_EQ(initial.station, 2);
  EXPECT_EQ(initial.position, PositionOf(StepAction::kInitialDevice));
  EXPECT_EQ(initial.text, " 1. Inital Device");
  EXPECT_THAT(initial.slot_results, ElementsAre(SlotResult{0, "CT", 1}));
  EXPECT_EQ(initial.total, 2);
  EXPECT_EQ(initial.settings, (StationSettingsRecord{"001", "", "", "07"}));
  // The chart label record as the step left it: Machine No. and Machine ID entered there.
  EXPECT_EQ(initial.machine_no, "MN001");  // as the dialog stored it
  EXPECT_EQ(initial.machine_id, "A123456789012");
  EXPECT_EQ(sink.steps.back().machine_id, "A123456789012");
  EXPECT_EQ(grease.machine_no, "");
  EXPECT_THAT(initial.started_utc, ::testing::EndsWith("Z"));

  EXPECT_THAT(sink.steps[3].slot_results, ElementsAre(SlotResult{1, "Nozzle Check", 1}));
  const StepRecord& adjustment = sink.steps[4];
  EXPECT_THAT(adjustment.slot_results,
              ElementsAre(SlotResult{2, "TOF", 1}, SlotResult{3, "MS1", 1}, SlotResult{4, "MS2", 1},
                          SlotResult{5, "VSD", 1}, SlotResult{6, "ECN", 1}));
  // The values as the printer holds them after the step.
  const auto& e = printer.eeprom();
  EXPECT_EQ(adjustment.adjustments.tof, static_cast<int8_t>(e[kTofAdjustOffset]));
  EXPECT_EQ(adjustment.adjustments.ms1, static_cast<int8_t>(e[kMs1AdjustOffset]));
  EXPECT_THAT(sink.steps[5].slot_results, ElementsAre(SlotResult{7, "G0S A4", 1}));

  const StepRecord& discharge = sink.steps[6];
  EXPECT_EQ(discharge.position, PositionOf(StepAction::kInkDischarge));
  EXPECT_THAT(discharge.slot_results, ElementsAre(SlotResult{8, "DisCharge", 1}));
  EXPECT_EQ(discharge.total, 1);
  for (const StepRecord& step : std::span(sink.steps).subspan(1)) {
    EXPECT_EQ(step.printer, Printer()) << step.text;
    EXPECT_LE(step.started, step.ended);
  }

  // Every EEPROM write under the name of the operation that made it.
  EXPECT_THAT(Operations(), ElementsAre("SetHeadID", "TOF", "BiAdjust 0", "BiAdjust 1",
                                        "BiAdjust 2", "BiAdjust 3", "InkDisCharge 1"));
  for (const JournalEntry& entry : sink.journal) {
    EXPECT_EQ(entry.check, WriteCheck::kVerified) << entry.operation;
    EXPECT_FALSE(entry.before.empty()) << entry.operation;
  }
}

TEST_F(StepRecordsTest, OffLineStepRecordsNothingAndRefusedOneRecordsItsTotal) {
  SetUpStations();
  runner.SelectStation(1);
  printer.faults().absent = true;
  EXPECT_EQ(Run(StepAction::kChargeAndCheck), RunEnd::kOffline);
  EXPECT_THAT(sink.steps, IsEmpty());
  EXPECT_THAT(sink.journal, IsEmpty());

  // A printer without a head ID: refused, yet the double-click reached it and is on record.
  printer.faults().absent = false;
  EXPECT_EQ(Run(StepAction::kChargeAndCheck), RunEnd::kRefused);
  ASSERT_EQ(sink.steps.size(), 1u);
  EXPECT_EQ(sink.steps[0].position, PositionOf(StepAction::kChargeAndCheck));
  EXPECT_THAT(sink.steps[0].slot_results, IsEmpty());
  EXPECT_EQ(sink.steps[0].total, 2);
  EXPECT_EQ(sink.steps[0].printer.head_id, "");
}

TEST_F(StepRecordsTest, FailedWriteAndSlotsResetByAStepAreRecorded) {
  SetUpStations();
  runner.SelectStation(0);
  AnswerStation1();
  Run(StepAction::kGrease);
  printer.faults().eeprom_sticks = false;
  Run(StepAction::kInputHeadId);
  ASSERT_EQ(sink.steps.size(), 2u);
  EXPECT_THAT(sink.steps[1].slot_results, ElementsAre(SlotResult{1, "Head ID", 0}));
  EXPECT_EQ(sink.steps[1].total, 0);
  ASSERT_FALSE(sink.journal.empty());
  EXPECT_EQ(sink.journal[0].operation, "SetHeadID");
  EXPECT_EQ(sink.journal[0].check, WriteCheck::kMismatch);

  // Grease again resets the table: the head ID slot that went back to "not run" is recorded.
  printer.faults().eeprom_sticks = true;
  op.QueueDialogLine("fail");
  Run(StepAction::kGrease);
  EXPECT_THAT(sink.steps[2].slot_results,
              ElementsAre(SlotResult{0, "Grease", 0}, SlotResult{1, "Head ID", 2}));
  EXPECT_EQ(sink.steps[2].total, 0);
}

TEST_F(StepRecordsTest, SlotSetToTheValueItHadIsStillRecorded) {
  RunToDischarge();
  const size_t before = sink.steps.size();
  AnswerNozzleCheck();
  Run(StepAction::kNozzleCheck);
  ASSERT_EQ(sink.steps.size(), before + 1);
  EXPECT_THAT(sink.steps.back().slot_results, ElementsAre(SlotResult{1, "Nozzle Check", 1}));
  EXPECT_EQ(sink.steps.back().text, "    2-8. Print - Nozzle Check");
}

TEST_F(StepRecordsTest, UnusableDestinationIsRecordedByItsIndex) {
  SetUpStations();
  files.WriteStation2({14, 'C', 'T'});
  runner.SelectStation(1);
  Run(StepAction::kNothing);  // a separator, refused for want of a head ID, recorded all the same
  ASSERT_EQ(sink.steps.size(), 1u);
  EXPECT_EQ(sink.steps[0].settings, (StationSettingsRecord{"index 14", "", "", "CT"}));
}

TEST_F(StepRecordsTest, NoRecordSinkRunsTheSameSteps) {
  ctx.records = nullptr;
  RunToDischarge();
  AnswerDischarge();
  EXPECT_EQ(Run(StepAction::kInkDischarge), RunEnd::kRan);
  EXPECT_EQ(runner.page().total.text, "PASS");
  EXPECT_THAT(sink.steps, IsEmpty());
}

}  // namespace
}  // namespace tarvo::station
