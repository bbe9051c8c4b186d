#include "operations/rom_dump.h"

#include <gtest/gtest.h>

#include "dialogs/eeprom_data_dialog.h"
#include "operations/romdata_test_env.h"

namespace tarvo {
namespace {

using testing_env::Bench;
using testing_env::Pattern;

// Types into the boxes named by their labels, then presses OK.
RecordingOperator::DialogAnswer Edit(std::vector<std::pair<std::string, std::string>> entries) {
  return [=](DialogModel& d) {
    for (const auto& [label, text] : entries) {
      for (Control& c : d.controls()) {
        if (c.label == label) c.text = text;
      }
    }
    return DialogModel::kOkId;
  };
}

std::string TextIn(const DialogModel& d, std::string_view label) {
  for (const Control& c : d.controls()) {
    if (c.label == label) return c.text;
  }
  return "(none)";
}

// A printer image already at the initial values, as the running firmware reports them.
RomImage InitialImage() {
  RomImage image = Pattern(9);
  ApplyInitialValues(image, "0073");
  return image;
}

// What a dump did, as the tool's output line tells it.
enum class DumpOutcome { kReadFailed, kCancelled, kUnchanged, kWritten, kWriteFailed };

DumpOutcome Told(const Outcome& outcome, bool written) {
  if (outcome.kind == OutcomeKind::kCancelled) return DumpOutcome::kCancelled;
  if (written) return outcome.achieved() ? DumpOutcome::kWritten : DumpOutcome::kWriteFailed;
  return outcome.achieved() ? DumpOutcome::kUnchanged : DumpOutcome::kReadFailed;
}
DumpOutcome Dump(Bench& bench, DeviceState& state, int mode) {
  bool written = false;
  Outcome outcome = DumpData(bench.ctx, bench.link, state, mode, &written);
  return Told(outcome, written);
}
DumpOutcome Initial(Bench& bench, DeviceState& state) {
  bool written = false;
  Outcome outcome = SetInitialValue(bench.ctx, bench.link, state, &written);
  return Told(outcome, written);
}

class DumpDataTest : public ::testing::Test {
 protected:
  Bench bench;
  DeviceState state;
};

TEST_F(DumpDataTest, OkWithoutEditsWritesNothing) {
  bench.printer.eeprom() = Pattern(1);
  bench.op.QueueDialog(Edit({}));
  EXPECT_EQ(Dump(bench, state, 0), DumpOutcome::kUnchanged);
  EXPECT_FALSE(bench.Wrote());
  EXPECT_TRUE(bench.op.messages().empty());
  EXPECT_EQ(bench.op.dialogs_shown(), std::vector<int>{197});
}

TEST_F(DumpDataTest, InitialValuesAlreadyThereWriteNothing) {
  bench.printer.eeprom() = InitialImage();
  bench.op.QueueDialog(Edit({}));
  EXPECT_EQ(Dump(bench, state, 1), DumpOutcome::kUnchanged);
  EXPECT_FALSE(bench.Wrote());
}

TEST_F(DumpDataTest, ModeOneShowsAndWritesTheInitialValues) {
  bench.printer.eeprom() = Pattern(1);
  std::string ms1_shown;
  bench.op.QueueDialog([&](DialogModel& d) {
    ms1_shown = TextIn(d, "MS1");
    return DialogModel::kOkId;
  });
  EXPECT_EQ(Dump(bench, state, 1), DumpOutcome::kWritten);
  EXPECT_EQ(ms1_shown, "-10");
  RomImage expected = Pattern(1);
  ApplyInitialValues(expected, "0073");
  EXPECT_EQ(bench.printer.eeprom(), expected);
  EXPECT_EQ(state.current_image, expected);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Dump Data: Save ROM Data Success!!"});
}

TEST_F(DumpDataTest, ModeOneCancelledWritesNothing) {
  bench.printer.eeprom() = Pattern(1);
  EXPECT_EQ(Dump(bench, state, 1), DumpOutcome::kCancelled);
  EXPECT_FALSE(bench.Wrote());
}

TEST_F(DumpDataTest, EntriesAreTruncatedToTheirFields) {
  bench.printer.eeprom() = Pattern(1);
  bench.op.QueueDialog(Edit({{"MS1", "200"},
                             {"Ink Counter Rb0", "70000"},
                             {"USB S/No.", "ABCDE"},
                             {"Print Head ID", "HEAD1234567"},
                             {"Protection Counter A", "1.5"},
                             {"CL Timer", "-2"}}));
  EXPECT_EQ(Dump(bench, state, 0), DumpOutcome::kWritten);
  const RomImage& image = bench.printer.eeprom();
  EXPECT_EQ(GetInt(image, *FindField("Ms1Adjust")), -56);
  EXPECT_EQ(image[kMs1AdjustOffset], 0xC8);
  EXPECT_EQ(GetInt(image, *FindField("InkCounterRb0")), 4464);
  EXPECT_EQ(GetChars(image, *FindField("UsbSerialNo")),
            std::string("ABCDE") + std::string(13, '\0'));
  EXPECT_EQ(GetChars(image, *FindField("HeadId")), "HEAD12");
  EXPECT_EQ(GetFloat(image, *FindField("ProtectionCounterA")), 1.5f);
  EXPECT_EQ(GetInt(image, *FindField("ClTimer")), -2);
  // Untouched fields keep what was read.
  EXPECT_EQ(image[kFtFlagOffset], Pattern(1)[kFtFlagOffset]);
}

TEST_F(DumpDataTest, LongSerialNumberIsCutTo18Characters) {
  bench.op.QueueDialog(Edit({{"USB S/No.", "ABCDEFGHIJKLMNOPQRST"}}));
  EXPECT_EQ(Dump(bench, state, 0), DumpOutcome::kWritten);
  EXPECT_EQ(GetChars(bench.printer.eeprom(), *FindField("UsbSerialNo")), "ABCDEFGHIJKLMNOPQR");
}

TEST_F(DumpDataTest, FailedVerificationIsReported) {
  bench.printer.faults().eeprom_sticks = false;
  bench.op.QueueDialog(Edit({{"Model Name (CT)", "031"}}));
  EXPECT_EQ(Dump(bench, state, 0), DumpOutcome::kWriteFailed);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Dump Data: Save ROM Data Fail !!"});
  EXPECT_EQ(bench.op.messages().at(0).icon, Icon::kError);
}

TEST_F(DumpDataTest, ReadFailureIsSilentInTheProgram) {
  bench.printer.faults().silent = true;
  EXPECT_EQ(Dump(bench, state, 0), DumpOutcome::kReadFailed);
  EXPECT_TRUE(bench.op.messages().empty());
  EXPECT_TRUE(bench.op.dialogs_shown().empty());
}

TEST(DumpDataLibrary, ReadFailureIsToldAndNoDialogShown) {
  Bench bench(kLibraryEdition);
  DeviceState state;
  bench.printer.faults().silent = true;
  EXPECT_EQ(Dump(bench, state, 0), DumpOutcome::kReadFailed);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Error: Read ROM Data Error!!"});
  EXPECT_TRUE(bench.op.dialogs_shown().empty());
}

TEST(DumpDataLibrary, InkSystemBytesAreNotInTheDialogAndStayAsRead) {
  Bench bench(kLibraryEdition);
  DeviceState state;
  bench.printer.eeprom() = Pattern(1);
  std::string tcl_shown;
  bench.op.QueueDialog([&](DialogModel& d) {
    tcl_shown = TextIn(d, "TCL Condition");
    return Edit({{"TOF", "3"}})(d);
  });
  EXPECT_EQ(Dump(bench, state, 1), DumpOutcome::kWritten);
  EXPECT_EQ(tcl_shown, "(none)");
  EXPECT_EQ(bench.printer.eeprom()[kUnplugAccumulationOffset],
            Pattern(1)[kUnplugAccumulationOffset]);
  EXPECT_EQ(bench.printer.eeprom()[kTclConditionOffset], Pattern(1)[kTclConditionOffset]);
  EXPECT_EQ(bench.printer.eeprom()[kTofAdjustOffset], 3);
}

TEST(SetInitialValue, WritesOnlyWhenSomethingChanges) {
  Bench bench;
  DeviceState state;
  bench.printer.eeprom() = InitialImage();
  EXPECT_EQ(Initial(bench, state), DumpOutcome::kUnchanged);
  EXPECT_FALSE(bench.Wrote());
  EXPECT_EQ(state.current_image, InitialImage());

  bench.printer.eeprom()[kFtFlagOffset] = 0;
  EXPECT_EQ(Initial(bench, state), DumpOutcome::kWritten);
  EXPECT_EQ(bench.printer.eeprom(), InitialImage());
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Dump Data: Save ROM Data Success!!"});
}

TEST(SetInitialValue, LibraryReportsInItsOwnWords) {
  Bench bench(kLibraryEdition);
  DeviceState state;
  bench.printer.faults().eeprom_sticks = false;
  bench.printer.eeprom() = Pattern(1);
  bench.printer.eeprom()[kMs1AdjustOffset] = 0;  // verified bytes differ from the initial value
  EXPECT_EQ(Initial(bench, state), DumpOutcome::kWriteFailed);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Dump Data: ROM資料寫入失敗 !!"});
}

TEST(DumpTransferROMData, FillsTheRecordAndKeepsTheImage) {
  Bench bench(kLibraryEdition);
  DeviceState state;
  RomImage stored = Pattern(1);
  stored[kModelNumberOffset] = 2;
  stored[kMs1AdjustOffset] = 0xC8;
  bench.printer.eeprom() = stored;
  RomSummary record{};
  EXPECT_TRUE(DumpTransferROMData(bench.ctx, bench.link, state, record));

  RomImage expected = stored;
  std::copy_n("0073", 4, expected.begin() + kFwVersionOffset);
  EXPECT_EQ(state.current_image, expected);
  RomSummary filled{};
  FillRomSummary(filled, expected, "0073", kLibraryEdition);
  EXPECT_EQ(record, filled);
  EXPECT_EQ(SummaryInt(record, summary::kMs1), -56);
}

TEST(DumpTransferROMData, ReadFailureLeavesRecordAndImageAlone) {
  Bench bench;
  DeviceState state;
  state.current_image.fill(0x33);
  bench.printer.faults().silent = true;
  RomSummary record;
  record.fill(0xEE);
  EXPECT_FALSE(DumpTransferROMData(bench.ctx, bench.link, state, record));
  RomSummary untouched;
  untouched.fill(0xEE);
  EXPECT_EQ(record, untouched);
  EXPECT_EQ(state.current_image[0], 0x33);
}

}  // namespace
}  // namespace tarvo
