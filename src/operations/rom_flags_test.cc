#include "operations/rom_flags.h"

#include <gtest/gtest.h>

#include "dialogs/charge_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "operations/library_version.h"
#include "operations/romdata_test_env.h"

namespace tarvo {
namespace {

using testing_env::Bench;
using testing_env::Pattern;

// The value a read handed over, or nothing when it did not get one.
std::optional<std::string> FW(Bench& bench) {
  std::string version;
  if (!ReadFW(bench.ctx, bench.link, version).achieved()) return std::nullopt;
  return version;
}
std::optional<uint8_t> FatalErrorCode(Bench& bench) {
  uint8_t code = 0;
  if (!ReadFatalErrorCode(bench.ctx, bench.link, code).achieved()) return std::nullopt;
  return code;
}

// A dialog answer that types `text` into edit box `id` and presses OK, recording what the box
// showed first.
RecordingOperator::DialogAnswer Type(int id, std::string text, std::string* shown = nullptr,
                                     std::string* label = nullptr) {
  return [=](DialogModel& d) {
    Control* c = d.control(id);
    if (shown) *shown = c->text;
    if (label) *label = c->label;
    c->text = text;
    return DialogModel::kOkId;
  };
}
RecordingOperator::DialogAnswer Cancel(std::string* shown = nullptr, int id = 1182) {
  return [=](DialogModel& d) {
    if (shown) *shown = d.control(id)->text;
    return DialogModel::kCancelId;
  };
}

TEST(ResetAll, BothDialogsCancelledWritesAllZeros) {
  Bench bench;
  bench.printer.eeprom() = Pattern(7);
  std::string charge_shown, version_shown;
  bench.op.QueueDialog(Cancel(&charge_shown));
  bench.op.QueueDialog(Cancel(&version_shown));
  EXPECT_TRUE(ResetAll(bench.ctx, bench.link));

  EXPECT_EQ(bench.printer.eeprom(), RomImage{});
  EXPECT_EQ(charge_shown, std::to_string(static_cast<int8_t>(Pattern(7)[0x4D])));
  EXPECT_EQ(version_shown, "0073");  // the running firmware's, not the stored bytes
  EXPECT_EQ(bench.op.dialogs_shown(), (std::vector<int>{194, 195}));
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Reset: Reset Data Success !!"});
}

TEST(ResetAll, KeepsOnlyTheConfirmedFlagAndVersion) {
  Bench bench;
  bench.printer.eeprom() = Pattern(7);
  bench.op.QueueDialog(Type(ChargeDialog::kValueId, "1"));
  bench.op.QueueDialog(Type(FwVersionDialog::kTextId, "AB"));
  EXPECT_TRUE(ResetAll(bench.ctx, bench.link));

  RomImage expected{};
  expected[kInitialStuffFlagOffset] = 1;
  expected[kFwVersionOffset] = 'A';
  expected[kFwVersionOffset + 1] = 'B';
  EXPECT_EQ(bench.printer.eeprom(), expected);
}

TEST(ResetAll, ReadFailureWritesNothing) {
  Bench bench;
  bench.printer.faults().silent = true;
  EXPECT_FALSE(ResetAll(bench.ctx, bench.link));
  EXPECT_FALSE(bench.Wrote());
  EXPECT_TRUE(bench.op.dialogs_shown().empty());
}

TEST(SetCharge, CancelStillWritesAndReports) {
  Bench bench;
  bench.printer.eeprom() = Pattern(2);
  bench.op.QueueDialog(Cancel());
  EXPECT_TRUE(SetCharge(bench.ctx, bench.link));
  EXPECT_TRUE(bench.Wrote());
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Charge: Set Charge Flag Success !!"});
}

TEST(SetCharge, FailedWriteIsReported) {
  Bench bench;
  bench.printer.faults().fail_write_after = 3;  // the image read goes through, its write not
  bench.op.QueueDialog(Type(ChargeDialog::kValueId, "0"));
  EXPECT_FALSE(SetCharge(bench.ctx, bench.link));
  EXPECT_EQ(bench.MessageTexts().back(), "Charge: Set Charge Flag Fail !!");
}

TEST(SetCharge, StoresTheConfirmedFlag) {
  Bench bench;
  bench.printer.eeprom()[kInitialStuffFlagOffset] = 0;
  std::string shown;
  bench.op.QueueDialog(Type(ChargeDialog::kValueId, "1", &shown));
  EXPECT_TRUE(SetCharge(bench.ctx, bench.link));
  EXPECT_EQ(shown, "0");
  EXPECT_EQ(bench.printer.eeprom()[kInitialStuffFlagOffset], 1);
}

TEST(ReadFW, ShowsTheRunningVersionAndWritesNothing) {
  Bench bench;
  bench.printer.set_firmware("0074");
  std::string shown, label;
  bench.op.QueueDialog(Type(FwVersionDialog::kTextId, "9999", &shown, &label));
  EXPECT_EQ(FW(bench), "0074");
  EXPECT_EQ(shown, "0074");
  EXPECT_EQ(label, "FW Version :");
  EXPECT_FALSE(bench.Wrote());
}

TEST(SetInitialStuff, OnlyExactlyOneSetsTheFlag) {
  struct Case {
    std::string text;
    uint8_t flag;
  };
  for (const Case& c : {Case{"1", 1}, Case{"1 ", 0}, Case{"0", 0}, Case{"", 0}}) {
    Bench bench;
    bench.printer.eeprom()[kInitialStuffFlagOffset] = 7;
    std::string shown, label;
    bench.op.QueueDialog(Type(FwVersionDialog::kTextId, c.text, &shown, &label));
    EXPECT_TRUE(SetInitialStuff(bench.ctx, bench.link));
    EXPECT_EQ(bench.printer.eeprom()[kInitialStuffFlagOffset], c.flag) << '"' << c.text << '"';
    EXPECT_EQ(shown, "1");
    EXPECT_EQ(label, "InitStuff");
    EXPECT_TRUE(bench.op.messages().empty());
  }
}

TEST(SetInitialStuff, LibraryShowsTheStoredFlag) {
  Bench bench(kLibraryEdition);
  bench.printer.eeprom()[kInitialStuffFlagOffset] = 0;
  std::string shown, label;
  bench.op.QueueDialog(Type(FwVersionDialog::kTextId, "1", &shown, &label));
  EXPECT_TRUE(SetInitialStuff(bench.ctx, bench.link));
  EXPECT_EQ(shown, "0");
  EXPECT_EQ(label, "Init Stuff");
  EXPECT_EQ(bench.printer.eeprom()[kInitialStuffFlagOffset], 1);
}

TEST(SetInitialStuff, CancelWritesNothing) {
  Bench bench;
  bench.op.QueueDialog(Cancel());
  EXPECT_FALSE(SetInitialStuff(bench.ctx, bench.link));
  EXPECT_FALSE(bench.Wrote());
}

TEST(SetFTFlag, AnyTextButOneClears) {
  for (const std::string text : {"0", "yes", "01", "1"}) {
    Bench bench;
    bench.printer.eeprom()[kFtFlagOffset] = 0xC8;
    std::string shown, label;
    bench.op.QueueDialog(Type(FwVersionDialog::kTextId, text, &shown, &label));
    EXPECT_TRUE(SetFTFlag(bench.ctx, bench.link));
    EXPECT_EQ(shown, "200");
    EXPECT_EQ(label, "FT Flag");
    EXPECT_EQ(bench.printer.eeprom()[kFtFlagOffset], text == "1" ? 1 : 0) << text;
  }
}

TEST(SetFTFlag, WritesBackTheStoredImageUnstamped) {
  Bench bench;
  RomImage stored = Pattern(3);
  bench.printer.eeprom() = stored;
  bench.op.QueueDialog(Type(FwVersionDialog::kTextId, "1"));
  EXPECT_TRUE(SetFTFlag(bench.ctx, bench.link));
  stored[kFtFlagOffset] = 1;
  EXPECT_EQ(bench.printer.eeprom(), stored);
}

TEST(ReadFatalErrorCode, ShowsTheCodeUnsignedAndWritesNothing) {
  Bench bench;
  bench.printer.eeprom()[kFatalErrorCodeOffset] = 0xC8;
  std::string shown, label;
  bench.op.QueueDialog(Type(FwVersionDialog::kTextId, "0", &shown, &label));
  EXPECT_EQ(FatalErrorCode(bench), 0xC8);
  EXPECT_EQ(shown, "200");
  EXPECT_EQ(label, "Error Code");
  EXPECT_FALSE(bench.Wrote());
}

TEST(ReadFatalErrorCode, ReadFailureShowsNoDialog) {
  Bench bench;
  bench.printer.faults().silent = true;
  EXPECT_EQ(FatalErrorCode(bench), std::nullopt);
  EXPECT_TRUE(bench.op.dialogs_shown().empty());
  EXPECT_EQ(bench.MessageTexts(),
            std::vector<std::string>{"ReadFileX: Read MELoadFile Command Error !!"});
}

TEST(SetDLLVersion, TakesFourCharactersUpToAZeroByte) {
  DeviceState state;
  EXPECT_EQ(state.library_version, "A080");
  SetDLLVersion(state, std::span<const char>("B123", 4));
  EXPECT_EQ(state.library_version, "B123");
  const char with_zero[] = {'C', '9', '\0', 'x'};
  SetDLLVersion(state, with_zero);
  EXPECT_EQ(state.library_version, "C9");
  SetDLLVersion(state, std::span<const char>("D1234567", 8));
  EXPECT_EQ(state.library_version, "D123");
}

}  // namespace
}  // namespace tarvo
