// Every row of both step lists, run through the step runner, does what its text says: the
// expectations are keyed by the text the operator double-clicks, not by list position, so a row
// wired to another row's action, argument or slot fails here.
#include "station/step_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "station/station_test_rig.h"

namespace tarvo::station {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::IsSupersetOf;
using ::testing::Not;
using ::testing::StartsWith;

// What a double-click on one row shows and sends.
struct RowExpectation {
  std::string text;
  std::function<void(StationRig&)> answer;  // the operator's answers, queued before the run
  std::vector<std::string> dialogs;         // "dialog ID CAPTION", in order
  std::vector<std::string> sent;            // transfers and waits that must be there
  std::vector<std::string> not_sent;        // beginnings no transfer or wait may have
  std::vector<std::string> slots;           // the slots the step set, by their labels
};

void Nothing(StationRig&) {}
void Pass(StationRig& rig) {
  rig.op.QueueDialogLine("pass");
}

const std::string kCheck = "dialog 203 Nozzle Check";
const std::string kInkCharge = "wait 66000";  // the ink charge's long wait
const std::string kCharts = "J(0,1)";         // a chart's job mark

std::vector<RowExpectation> Station1Rows() {
  return {
      {" 1. Lubrication of Grease",
       Pass,
       {"dialog 203 Lubrication of Grease"},
       {"J(0,0)", "wait 12000", "J(1,0)"},
       {"WRITE"},
       {"Grease"}},
      {" 2. Input Head ID",
       [](StationRig& rig) { rig.op.QueueDialogLine("enter AB12CD"); },
       {"dialog 179 Input Head ID"},
       {"WRITE(0,41)"},
       {},
       {"Head ID"}},
  };
}

std::vector<RowExpectation> Station2Rows() {
  auto bid = [](const char* mode) {
    return RowExpectation{
        "",
        [](StationRig& rig) { rig.AnswerBiD(); },
        {"dialog 189 " + std::string(mode), "dialog 203 " + std::string(mode) + " Bi-d Adjustment"},
        {kCharts, "D(8,8,8,8)", "WRITE(0,41)"},
        {"REMOTE CH"},
        {mode}};
  };
  auto with_text = [](RowExpectation row, std::string text) {
    row.text = std::move(text);
    return row;
  };
  auto print = [](std::string text, std::string dialog, std::string slot) {
    return RowExpectation{std::move(text), Pass,          {std::move(dialog)},
                          {kCharts},       {"REMOTE CH"}, {std::move(slot)}};
  };
  const std::vector<std::string> separator_not_sent = {"J(", "WRITE", "REMOTE CH", "wait"};
  return {
      {" 1. Inital Device",
       [](StationRig& rig) { rig.AnswerInitialDevice(); },
       {"dialog 188 Input Machine No.", "dialog 204 Input Machine ID"},
       {"READ(0,41)", "F"},
       {"J("},
       {"CT"}},
      {"    1-1. Read ROM Data / Check CT Setting",
       Nothing,
       {},
       {"READ(0,41)", "F"},
       {"J("},
       {"CT"}},
      {"    1-2. Input Machine No.",
       [](StationRig& rig) { rig.op.QueueDialogLine("enter mn002"); },
       {"dialog 188 Input Machine No."},
       {},
       {"J(", "F"},
       {}},
      {"    1-3. Input Machine ID",
       [](StationRig& rig) { rig.op.QueueDialogLine("enter B123456789012"); },
       {"dialog 204 Input Machine ID"},
       {},
       {"J(", "F"},
       {}},
      {" 2. Ink Charge / Print - Nozzle Check",
       Pass,
       {kCheck},
       {kInkCharge, kCharts},
       {"REMOTE CH"},
       {"Nozzle Check"}},
      {"    2-1. Nozzle Cleaning - CL1 / Print - Nozzle Check",
       Pass,
       {kCheck},
       {"REMOTE CH 3", kCharts},
       {kInkCharge},
       {"Nozzle Check"}},
      {"    2-2. Nozzle Cleaning - CL1D / Print - Nozzle Check",
       Pass,
       {kCheck},
       {"REMOTE CH 5", kCharts},
       {kInkCharge},
       {"Nozzle Check"}},
      {"    2-3. Nozzle Cleaning - CL2 / Print - Nozzle Check",
       Pass,
       {kCheck},
       {"REMOTE CH 4", kCharts},
       {kInkCharge},
       {"Nozzle Check"}},
      {"    2-4. Ink Charge", Nothing, {}, {kInkCharge}, {"REMOTE CH", kCharts}, {}},
      {"    2-5. Nozzle Cleaning - CL1", Nothing, {}, {"REMOTE CH 3"}, {kCharts, kInkCharge}, {}},
      {"    2-6. Nozzle Cleaning - CL1D", Nothing, {}, {"REMOTE CH 5"}, {kCharts, kInkCharge}, {}},
      {"    2-7. Nozzle Cleaning - CL2", Nothing, {}, {"REMOTE CH 4"}, {kCharts, kInkCharge}, {}},
      {"    2-8. Print - Nozzle Check",
       Pass,
       {kCheck},
       {kCharts},
       {"REMOTE CH", kInkCharge},
       {"Nozzle Check"}},
      {" 3. Device Adjustment",
       [](StationRig& rig) { rig.AnswerDeviceAdjustment(); },
       {"dialog 173 TOF Adjustment", "dialog 203 TOF Adjustment", "dialog 189 MS1",
        "dialog 203 MS1 Bi-d Adjustment", "dialog 189 MS2", "dialog 203 MS2 Bi-d Adjustment",
        "dialog 189 VSD", "dialog 203 VSD Bi-d Adjustment", "dialog 189 ECN",
        "dialog 203 ECN Bi-d Adjustment"},
       {kCharts, "WRITE(0,41)", "D(8,8,8,8)"},
       {"REMOTE CH"},
       {"TOF", "MS1", "MS2", "VSD", "ECN"}},
      {"    3-1. Print - TOF",
       [](StationRig& rig) { rig.AnswerTof(); },
       {"dialog 173 TOF Adjustment", "dialog 203 TOF Adjustment"},
       {kCharts, "WRITE(0,41)"},
       {"D("},
       {"TOF"}},
      with_text(bid("MS1"), "    3-2. Print - Bi-d MS1"),
      with_text(bid("MS2"), "    3-3. Print - Bi-d MS2"),
      with_text(bid("VSD"), "    3-4. Print - Bi-d VSD"),
      with_text(bid("ECN"), "    3-5. Print - Bi-d ECN"),
      print(" 4. Print - G0S A4", "dialog 205 G0S A4", "G0S A4"),
      {std::string(55, '-'), Nothing, {}, {"READ(0,41)"}, separator_not_sent, {}},
      print(" 5. Print - S/F Letter", "dialog 206 S/F Letter", "S/F"),
      print(" 6. Print - Photo", "dialog 206 Photo", "Photo"),
      print(" 7. Print - Post Card", "dialog 207 Post Card", "Card"),
      print(" 8. Print - Envelope", "dialog 206 Envelope", "Envelope"),
      {" 9. Ink DisCharge",
       [](StationRig& rig) { rig.AnswerDischarge(); },
       {"dialog 200 DisMessage", "dialog 203 DisCharge"},
       {"p(0)"},
       {kCharts},
       {"DisCharge"}},
  };
}

struct StepListsTest : ::testing::Test, StationRig {
  StepListsTest() { ctx.records = &sink; }

  // Runs every row of `station`'s list in list order against the expectation of its text.
  void RunEveryRow(Station station, const std::vector<RowExpectation>& expected) {
    const auto list = StepList(station);
    std::set<std::string_view> seen;
    for (size_t position = 0; position < list.size(); ++position) {
      const std::string_view text = list[position].text;
      SCOPED_TRACE(std::string(text));
      // The two separator lines share one expectation.
      const auto it = std::find_if(expected.begin(), expected.end(),
                                   [&](const RowExpectation& e) { return e.text == text; });
      ASSERT_NE(it, expected.end()) << "a row this test does not know";
      seen.insert(text);
      Forget();
      it->answer(*this);
      const size_t steps_before = sink.steps.size();
      ASSERT_EQ(runner.Run(static_cast<int>(position)), RunEnd::kRan);

      std::vector<std::string> dialogs;
      for (const std::string& event : op.events()) {
        if (event.starts_with("dialog ")) dialogs.push_back(event);
      }
      EXPECT_THAT(dialogs, ElementsAreArray(it->dialogs));
      const std::vector<std::string> traffic = Traffic();
      EXPECT_THAT(traffic, IsSupersetOf(it->sent));
      for (const std::string& prefix : it->not_sent)
        EXPECT_THAT(traffic, Not(Contains(StartsWith(prefix))));
      ASSERT_EQ(sink.steps.size(), steps_before + 1);
      std::vector<std::string> slots;
      for (const SlotResult& slot : sink.steps.back().slot_results) slots.push_back(slot.name);
      EXPECT_THAT(slots, ElementsAreArray(it->slots));
    }
    EXPECT_EQ(seen.size(), expected.size()) << "an expectation no row of the list met";
  }

  MemoryRecordSink sink;
};

TEST_F(StepListsTest, EveryRowOfBothListsRunsTheActionItsTextNames) {
  SetUpStations();
  runner.SelectStation(0);
  RunEveryRow(Station::kHeadId, Station1Rows());
  EXPECT_EQ(runner.page().total.text, "PASS");

  runner.SelectStation(1);
  RunEveryRow(Station::kAdjustment, Station2Rows());
  // Every verdict was PASS: the discharge took the finishing data without asking.
  EXPECT_EQ(runner.page().total.text, "PASS");
  EXPECT_EQ(printer.eeprom()[kFtFlagOffset], 1);
}

TEST_F(StepListsTest, RowsAndSlotsAreFoundByWhatTheyAre) {
  EXPECT_EQ(StepList(Station::kAdjustment)[PositionOf(StepAction::kBiD, 2)].text,
            "    3-4. Print - Bi-d VSD");
  EXPECT_EQ(PositionOf(StepAction::kBiD, 4), -1);
  EXPECT_EQ(StepAt(Station::kAdjustment, 27), nullptr);
  EXPECT_EQ(StepAt(Station::kHeadId, -1), nullptr);

  // Each slot is named once, in the result table of its own station, and every slot a row sets
  // is one of its station's.
  for (Station station : {Station::kHeadId, Station::kAdjustment}) {
    const auto places = SlotPlaces(station);
    for (size_t i = 0; i < places.size(); ++i) {
      EXPECT_EQ(StationOf(places[i].slot), station) << places[i].text;
      EXPECT_EQ(SlotIndex(places[i].slot), i) << places[i].text;
    }
    for (const StepRow& row : StepList(station)) {
      if (row.slot != Slot::kNone) {
        EXPECT_EQ(StationOf(row.slot), station) << row.text;
      }
    }
  }
  EXPECT_EQ(SlotPlaces(Station::kAdjustment)[SlotIndex(Slot::kEnvelope)].text, "Envelope");
}

}  // namespace
}  // namespace tarvo::station
