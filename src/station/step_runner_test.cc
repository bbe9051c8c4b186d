#include "station/step_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/stop_request.h"
#include "station/station_test_rig.h"

namespace tarvo::station {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

struct StepRunnerTest : ::testing::Test, StationRig {
  // A double-click on the row doing `action` with `argument`.
  RunEnd Run(StepAction action, int argument = 0) {
    return runner.Run(PositionOf(action, argument));
  }
  uint8_t Result(Slot slot) const {
    const size_t i = SlotIndex(slot);
    return StationOf(slot) == Station::kHeadId ? data.station1_results[i]
                                               : data.station2_results[i];
  }
  int State(Slot slot) const { return runner.page().slot_labels.at(SlotIndex(slot)).state; }
  std::string Text(int field) const { return runner.page().Field(field).text; }
  std::vector<int> States() const {
    std::vector<int> s;
    for (const ResultLabel& l : runner.page().slot_labels) s.push_back(l.state);
    return s;
  }
  std::string EepromChars(size_t offset, size_t size) {
    return std::string(printer.eeprom().begin() + offset, printer.eeprom().begin() + offset + size);
  }
  bool Shown(int dialog) const {
    const auto& d = op.dialogs_shown();
    return std::find(d.begin(), d.end(), dialog) != d.end();
  }
  // Station 1, then Station 2 up to a passed "1-1" of the same printer.
  void ThroughInitialDevice() {
    SetUpStations();
    runner.SelectStation(0);
    AnswerStation1();
    Run(StepAction::kGrease);
    Run(StepAction::kInputHeadId);
    runner.SelectStation(1);
    AnswerInitialDevice();
    ASSERT_EQ(Run(StepAction::kInitialDevice), RunEnd::kRan);
    ASSERT_EQ(Result(Slot::kCt), kResultPass);
    Forget();
  }
};

TEST_F(StepRunnerTest, FreshPrinterThroughBothStationsToPassWithTheFinishingData) {
  SetUpStations();
  int changes = 0;
  runner.SetObserver([&] { ++changes; });
  runner.Initialise();
  EXPECT_TRUE(runner.station1());
  ASSERT_EQ(runner.page().steps.size(), 2u);
  EXPECT_EQ(runner.page().steps[1], " 2. Input Head ID");
  EXPECT_EQ(Text(kBeltNameField), "AB1");
  EXPECT_EQ(Text(kCustomerField), "001 ; QAI ; TR-460");

  AnswerStation1();
  EXPECT_EQ(Run(StepAction::kGrease), RunEnd::kRan);
  EXPECT_EQ(Run(StepAction::kInputHeadId), RunEnd::kRan);
  EXPECT_THAT(data.station1_results, ElementsAre(kResultPass, kResultPass));
  EXPECT_EQ(runner.page().total.text, "PASS");
  EXPECT_EQ(Text(kHeadIdField), "AB12CD");
  EXPECT_EQ(Text(kUsbSerialField).substr(0, 5), "AB1Z9");
  EXPECT_EQ(EepromChars(kHeadIdOffset, 6), "AB12CD");
  EXPECT_EQ(EepromChars(0, 3), "001");
  EXPECT_GT(changes, 0);

  RunToDischarge();
  AnswerDischarge();
  EXPECT_EQ(Run(StepAction::kInkDischarge), RunEnd::kRan);

  // Every slot but the optional prints passed; those were not run.
  for (const SlotPlace& place : SlotPlaces(Station::kAdjustment))
    EXPECT_EQ(Result(place.slot), place.optional ? kResultNotRun : kResultPass) << place.text;
  EXPECT_EQ(runner.page().total.text, "PASS");
  EXPECT_EQ(runner.page().total.state, kLargeGreen);
  EXPECT_EQ(runner.page().write_rom_fail.state, kBlack);
  EXPECT_EQ(State(Slot::kDischarge), kGreen);
  // A passed test asks nothing before the discharge and stores the finishing data.
  EXPECT_THAT(MessageTexts(), Not(Contains(::testing::HasSubstr("Do you want DisCharge"))));
  EXPECT_EQ(printer.eeprom()[kFtFlagOffset], 1);
  EXPECT_EQ(printer.eeprom()[kFitToPageOffset], 1);
  EXPECT_FALSE(link.is_open());

  EXPECT_EQ(Text(kJigNoField), "07");
  EXPECT_EQ(Text(kMachineNoField), "MN001");
  EXPECT_EQ(Text(kMachineIdField), "A123456789012");
  EXPECT_EQ(Text(kFwVersionField), "0073");
  EXPECT_EQ(Text(kInkChargeField), "1");
  // Nozzle check, TOF, four Bi-d modes and the G0S A4 chart.
  EXPECT_EQ(Text(kTotalPrintField), std::to_string(data.chart_label.chart_prints));
  EXPECT_GE(data.chart_label.chart_prints, 7);
}

TEST_F(StepRunnerTest, StationTwoRefusesAPrinterWithoutHeadIdAndOneNotInitialised) {
  SetUpStations();
  runner.SelectStation(1);
  EXPECT_EQ(Run(StepAction::kInitialDevice), RunEnd::kRefused);
  EXPECT_THAT(MessageTexts(), ElementsAre("ERROR: Without Input Head ID !!"));
  EXPECT_FALSE(link.is_open());
  EXPECT_THAT(op.dialogs_shown(), IsEmpty());

  // A head ID from Station 1, but "1-1" not run yet on it.
  runner.SelectStation(0);
  AnswerStation1();
  Run(StepAction::kGrease);
  Run(StepAction::kInputHeadId);
  runner.SelectStation(1);
  Forget();
  EXPECT_EQ(Run(StepAction::kChargeAndCheck), RunEnd::kRefused);
  EXPECT_THAT(MessageTexts(), ElementsAre("ERROR: Please Run \"1. Initial Device\" First !!"));
  EXPECT_EQ(Result(Slot::kNozzleCheck), kResultNotRun);
  EXPECT_THAT(op.dialogs_shown(), IsEmpty());

  // "1-1" takes the printer; then the same printer passes the check.
  Forget();
  EXPECT_EQ(Run(StepAction::kReadRomData), RunEnd::kRan);
  EXPECT_EQ(Result(Slot::kCt), kResultPass);
  AnswerNozzleCheck();
  EXPECT_EQ(Run(StepAction::kNozzleCheck), RunEnd::kRan);
  EXPECT_EQ(Result(Slot::kNozzleCheck), kResultPass);
}

TEST_F(StepRunnerTest, SeparatorOpensAndClosesAndChangesNoSlot) {
  ThroughInitialDevice();
  data.chart_label.nozzle_cleanings = 4;  // a count the page has not shown yet
  const auto before = data.station2_results;
  const auto list = StepList(Station::kAdjustment);
  int separators = 0;
  for (size_t position = 0; position < list.size(); ++position) {
    if (list[position].action != StepAction::kNothing) continue;
    ++separators;
    EXPECT_EQ(runner.Run(static_cast<int>(position)), RunEnd::kRan);
  }
  EXPECT_EQ(separators, 2);
  EXPECT_EQ(runner.Run(static_cast<int>(list.size())), RunEnd::kRan);
  EXPECT_EQ(runner.Run(99), RunEnd::kRan);
  EXPECT_EQ(data.station2_results, before);
  EXPECT_THAT(op.dialogs_shown(), IsEmpty());
  EXPECT_THAT(MessageTexts(), IsEmpty());
  EXPECT_EQ(Text(kCleanNozzleField), "4");
  EXPECT_FALSE(link.is_open());
}

TEST_F(StepRunnerTest, DeviceAdjustmentStopsAtTheFirstStepNotPassed) {
  ThroughInitialDevice();
  AnswerTof();
  AnswerBiD();        // MS1
  AnswerBiD("fail");  // MS2
  Run(StepAction::kDeviceAdjustment);
  EXPECT_EQ(Result(Slot::kTof), kResultPass);
  EXPECT_EQ(Result(Slot::kMs1), kResultPass);
  EXPECT_EQ(Result(Slot::kMs2), kResultFail);
  EXPECT_EQ(Result(Slot::kVsd), kResultNotRun);
  EXPECT_EQ(Result(Slot::kEcn), kResultNotRun);
  EXPECT_EQ(runner.page().total.text, "FAIL");

  // "3-2" runs MS1 alone; a TOF left without OK ends the chain with its slot as it was.
  Forget();
  AnswerBiD();
  Run(StepAction::kBiD, 0);  // MS1
  EXPECT_EQ(std::count(op.dialogs_shown().begin(), op.dialogs_shown().end(), 203), 1);
  Forget();
  op.QueueDialogLine("cancel");  // the TOF Adjustment dialog
  Run(StepAction::kDeviceAdjustment);
  EXPECT_EQ(Result(Slot::kTof), kResultPass);
  EXPECT_FALSE(Shown(189));  // no Bi-d value entry followed
}

TEST_F(StepRunnerTest, DischargeOfAnUnfinishedTestAsksAndNoLeavesItNotRun) {
  ThroughInitialDevice();
  const auto eeprom = printer.eeprom();
  // The recording operator answers the question No.
  Run(StepAction::kInkDischarge);
  EXPECT_THAT(MessageTexts(),
              ElementsAre("DisCharge: Test Not Finished!!\nDo you want DisCharge ?!"));
  EXPECT_EQ(op.messages()[0].icon, Icon::kInformation);
  EXPECT_EQ(op.messages()[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(Result(Slot::kDischarge), kResultNotRun);
  EXPECT_EQ(State(Slot::kDischarge), kBlack);
  EXPECT_EQ(printer.eeprom(), eeprom);
}

TEST_F(StepRunnerTest, DischargeOfAFailedTestEmptiesTheInkWithoutFinishing) {
  ThroughInitialDevice();
  AnswerNozzleCheck("fail");
  Run(StepAction::kChargeAndCheck);
  EXPECT_EQ(State(Slot::kNozzleCheck), kRed);
  Forget();
  op.QueueReply(Reply::kYes);
  AnswerDischarge();
  Run(StepAction::kInkDischarge);
  EXPECT_EQ(MessageTexts().at(0), "DisCharge: Test Fail!!\nDo you want DisCharge ?!");
  EXPECT_EQ(Result(Slot::kDischarge), kResultPass);
  EXPECT_EQ(runner.page().total.text, "FAIL");
  EXPECT_EQ(printer.eeprom()[kFtFlagOffset], 0xFF);

  // Repeating the nozzle check with PASS turns its slot green again.
  AnswerNozzleCheck();
  Run(StepAction::kNozzleCheck);
  EXPECT_EQ(State(Slot::kNozzleCheck), kGreen);
}

TEST_F(StepRunnerTest, OptionalPrintsCountOnlyWhenFailed) {
  RunToDischarge();
  AnswerDischarge();
  Run(StepAction::kInkDischarge);
  EXPECT_EQ(runner.page().total.text, "PASS");
  op.QueueDialogLine("inspect pass fail");
  Run(StepAction::kPrintAndInspect, 2);  // Photo
  EXPECT_EQ(Result(Slot::kPhoto), kResultFail);
  EXPECT_THAT(data.Inspection(2), ElementsAre(1, 0));
  EXPECT_EQ(runner.page().total.text, "FAIL");
}

TEST_F(StepRunnerTest, FailedHeadIdWriteShowsFailAndRedWriteRomFail) {
  SetUpStations();
  runner.SelectStation(0);
  printer.faults().eeprom_sticks = false;
  AnswerStation1();
  Run(StepAction::kGrease);
  Run(StepAction::kInputHeadId);
  EXPECT_EQ(Result(Slot::kHeadId), kResultFail);
  EXPECT_EQ(data.rom_write_failures, 1);
  EXPECT_EQ(runner.page().total.text, "FAIL");
  EXPECT_EQ(runner.page().total.state, kLargeRed);
  EXPECT_EQ(runner.page().write_rom_fail.text, "Write ROM Fail");
  EXPECT_EQ(runner.page().write_rom_fail.state, kRed);
  // The next reset turns it black again.
  runner.SelectStation(0);
  EXPECT_EQ(runner.page().write_rom_fail.state, kBlack);
  EXPECT_EQ(data.rom_write_failures, 0);
}

TEST_F(StepRunnerTest, CustomerMismatchFailsCtAndSkipsMachineEntries) {
  files.WriteStation1({0, 'A', 'B', '1', 'Z', '9'});
  files.WriteStation2({1, '0', '7'});  // "012"
  runner.SelectStation(0);
  AnswerStation1();
  Run(StepAction::kGrease);
  Run(StepAction::kInputHeadId);
  runner.SelectStation(1);
  Forget();
  Run(StepAction::kInitialDevice);
  EXPECT_THAT(MessageTexts(),
              ElementsAre("ERROR: Customer Setting Error !!\nROM: 001\nStation 2: 012"));
  EXPECT_EQ(Result(Slot::kCt), kResultFail);
  EXPECT_EQ(State(Slot::kCt), kRed);
  EXPECT_FALSE(Shown(188));
  EXPECT_FALSE(Shown(204));
  EXPECT_EQ(data.chart_label.jig_no[0], 0);  // no Jig No. for a printer of another customer
}

TEST_F(StepRunnerTest, ReplacedPrinterIsFoundAgainAndRefusedUntilInitialised) {
  ThroughInitialDevice();
  std::copy_n("ZZ99ZZ", 6, printer.eeprom().begin() + kHeadIdOffset);
  EXPECT_EQ(Run(StepAction::kCleanAndCheck, 1), RunEnd::kRefused);  // CL1
  EXPECT_THAT(MessageTexts(), ElementsAre("ERROR: Please Run \"1. Initial Device\" First !!"));
  Forget();
  AnswerInitialDevice();
  EXPECT_EQ(Run(StepAction::kInitialDevice), RunEnd::kRan);
  EXPECT_EQ(Text(kHeadIdField), "ZZ99ZZ");
}

TEST_F(StepRunnerTest, OffLinePrinterChangesNothingButTheLinksMessage) {
  ThroughInitialDevice();
  printer.faults().absent = true;
  const OperationPage before = runner.page();
  const StationData data_before = data;
  EXPECT_EQ(Run(StepAction::kChargeAndCheck), RunEnd::kOffline);
  EXPECT_THAT(MessageTexts(), ElementsAre("ERROR: Print Off line !!"));
  EXPECT_EQ(runner.page().total.text, before.total.text);
  for (size_t i = 0; i < before.fields.size(); ++i)
    EXPECT_EQ(runner.page().fields[i].text, before.fields[i].text);
  EXPECT_EQ(data.station2_results, data_before.station2_results);
  EXPECT_EQ(data.chart_label, data_before.chart_label);
}

TEST_F(StepRunnerTest, StepCutShortByAStopClosesTheLinkAndRecordsNoVerdict) {
  SetUpStations();
  runner.SelectStation(0);
  StopRequest stop;
  ctx.stop = &stop;
  clock.set_stop(&stop);
  stop.Request();
  EXPECT_THROW(Run(StepAction::kGrease), OperationStopped);
  EXPECT_FALSE(link.is_open());
  ASSERT_FALSE(wire_lines.lines().empty());
  EXPECT_EQ(wire_lines.lines().back(), "C");
  EXPECT_EQ(Result(Slot::kGrease), kResultNotRun);
  EXPECT_THAT(op.dialogs_shown(), IsEmpty());
}

TEST_F(StepRunnerTest, DestinationIndexOutsideTheTableIsNeverUsed) {
  files.WriteStation1({20, 'A', 'B', '1', 'Z', '9'});
  const auto eeprom = printer.eeprom();
  runner.SelectStation(0);
  EXPECT_THAT(MessageTexts(),
              ElementsAre("ERROR: Customer Setting Error !!\n1.data holds destination index 20; "
                          "0 ... 13 are valid"));
  Forget();
  Run(StepAction::kInputHeadId);
  EXPECT_FALSE(Shown(179));
  EXPECT_EQ(printer.eeprom(), eeprom);
  EXPECT_EQ(Result(Slot::kHeadId), kResultNotRun);

  // At Station 2 the check of "1-1" fails naming "2.data".
  files.WriteStation1({0, 'A', 'B', '1', 'Z', '9'});
  AnswerStation1();
  Run(StepAction::kGrease);
  Run(StepAction::kInputHeadId);
  files.WriteStation2({14, 'C', 'T'});
  runner.SelectStation(1);
  Forget();
  Run(StepAction::kReadRomData);
  EXPECT_THAT(MessageTexts(),
              ElementsAre(::testing::HasSubstr("2.data holds destination index 14")));
  EXPECT_EQ(Result(Slot::kCt), kResultFail);
}

TEST_F(StepRunnerTest, StationChoiceIsKeptAndAStrangeOneSelectsNothing) {
  runner.SelectStation(1);
  EXPECT_EQ(files.ReadStationIndex(), 1);
  StepRunner again(ctx, link, data, files);
  again.Initialise();
  EXPECT_EQ(again.page().selection, 1);
  EXPECT_EQ(again.page().steps.size(), 27u);
  EXPECT_EQ(again.page().steps[0], " 1. Inital Device");
  EXPECT_EQ(again.page().steps[20], std::string(55, '-'));
  EXPECT_EQ(again.page().slot_labels.size(), 13u);

  files.WriteStationIndex(7);
  StepRunner strange(ctx, link, data, files);
  strange.Initialise();
  EXPECT_EQ(strange.page().selection, -1);
  EXPECT_EQ(strange.page().steps.size(), 27u);
  EXPECT_FALSE(strange.station1());
  EXPECT_EQ(files.ReadStationIndex(), 7);
}

TEST_F(StepRunnerTest, PageShowsTheCustomerRowOfTheModelCode) {
  HeadBlock block{};
  OperationPage page;
  auto show = [&](const char* code) {
    std::copy_n(code, 3, block.begin());
    page.ShowHeadBlock(block, block, false);
    return page.Field(kCustomerField).text;
  };
  EXPECT_EQ(show("031"), "031 ; EURO (WEST) ; TR-460");
  EXPECT_EQ(show("03x"), "032 ; QUL 240V ; TR-460");
  EXPECT_EQ(show("046"), "046 ; QHK Hong Kong; 220V; TR-420");
  EXPECT_EQ(show("T99"), "TBD ; EURO (Export2) ; TR-460");
  EXPECT_EQ(show("047"), "TBD ; EURO (Export2) ; TR-460");  // no row: the field keeps its text
  block[kTofAdjustOffset] = static_cast<uint8_t>(-2);
  block[kMs1AdjustOffset] = static_cast<uint8_t>(-3);
  page.ShowHeadBlock(block, block, false);
  EXPECT_EQ(page.Field(kTofField).text, "-50");
  EXPECT_EQ(page.Field(kMs1Field).text, "-3");
}

// Settings files that are there but are no files of their size are told, and the step that needs
// one writes nothing into the printer: no head ID with empty or stray names, no "CT" PASS without
// a Jig No.
TEST_F(StepRunnerTest, StationFileOfAnotherKindOrSizeStopsTheStepThatNeedsIt) {
  namespace fs = std::filesystem;
  const auto eeprom = printer.eeprom();
  fs::create_directory(files.PathOf("1.data"));
  runner.SelectStation(0);
  EXPECT_THAT(MessageTexts(), ElementsAre("ERROR: Station Setting File Error !!\n1.data is a "
                                          "folder, not a file of 6 bytes"));
  Forget();
  AnswerStation1();
  runner.Run(1);
  fs::remove(files.PathOf("1.data"));
  folder.Write("1.data", 100);
  runner.Run(1);
  EXPECT_THAT(
      MessageTexts(),
      ElementsAre(
          ::testing::HasSubstr("1.data is a folder"),
          "ERROR: Station Setting File Error !!\n1.data holds 100 bytes instead of 6 bytes"));
  EXPECT_FALSE(Shown(179));
  EXPECT_EQ(printer.eeprom(), eeprom);
  EXPECT_EQ(data.station1_results[1], kResultNotRun);

  // A printer through Station 1, then "1-1" at a station whose "2.data" is a folder.
  files.WriteStation1({0, 'A', 'B', '1', 'Z', '9'});
  runner.Run(0);
  runner.Run(1);
  ASSERT_EQ(data.station1_results[1], kResultPass);
  const auto written = printer.eeprom();
  fs::create_directory(files.PathOf("2.data"));
  runner.SelectStation(1);
  Forget();
  Run(StepAction::kInitialDevice);
  EXPECT_THAT(MessageTexts(), ElementsAre("ERROR: Station Setting File Error !!\n2.data is a "
                                          "folder, not a file of 3 bytes"));
  EXPECT_EQ(data.station2_results[0], kResultFail);
  EXPECT_EQ(Text(kJigNoField), "");
  EXPECT_FALSE(Shown(188));
  EXPECT_EQ(printer.eeprom(), written);
  EXPECT_TRUE(fs::is_directory(files.PathOf("2.data")));

  // The station chosen last: told, and Station 1 as for a fresh file.
  fs::remove(files.PathOf("3.data"));
  fs::create_directory(files.PathOf("3.data"));
  Forget();
  StepRunner again(ctx, link, data, files);
  again.Initialise();
  EXPECT_THAT(MessageTexts(), Contains("ERROR: Station Setting File Error !!\n3.data is a "
                                       "folder, not a file of 1 byte"));
  EXPECT_TRUE(again.station1());
}

}  // namespace
}  // namespace tarvo::station
