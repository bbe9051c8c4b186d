#include "operations/head_id.h"

#include <gmock/gmock.h>

#include "model/rom_layout.h"
#include "testing/sim_fixture.h"

namespace tarvo {
namespace {

// The result codes the station and the library's hosts read.
constexpr int kHeadIdNotVerified = 0;
constexpr int kHeadIdWritten = 1;
constexpr int kHeadIdCancelled = 2;

using ::testing::ElementsAre;
using ::testing::IsSupersetOf;

std::string Text(std::span<const uint8_t> bytes, size_t offset, size_t size) {
  return std::string(bytes.begin() + offset, bytes.begin() + offset + size);
}

template <typename Base>
struct HeadIdTest : Base {
  void SetUp() override {
    Base::SetUp();
    RomImage& e = this->printer.eeprom();
    e.fill(0);
    std::copy_n("031AB123", 8, e.begin());
    std::copy_n("OLD001", 6, e.begin() + kHeadIdOffset);
    for (uint8_t i = 0; i < 6; ++i) e[kMs1AdjustOffset + i] = i + 1;  // 27..32 hold 1..6
    e[kModelNumberOffset] = 1;
    e[kUnplugAccumulationOffset] = 99;
    e[kTclConditionOffset] = 98;
    this->printer.set_firmware("B123");
  }

  // Answers the head ID dialog with `entry` and OK, noting the text it was opened with.
  void EnterHeadId(std::string entry) {
    this->op.QueueDialog([this, entry](DialogModel& d) {
      preset = d.controls()[0].text;
      d.controls()[0].text = entry;
      return DialogModel::kOkId;
    });
  }

  std::string preset;
};

using ProgramHeadId = HeadIdTest<SimFixture>;
using LibraryHeadId = HeadIdTest<LibrarySimFixture>;

TEST_F(ProgramHeadId, WritesTimeStampIdAndRegistryOffsets) {
  settings.WriteInt32(kSelectPrinterKey, "MS1", -3);
  settings.WriteInt32(kSelectPrinterKey, "MS2", 0x102);  // only the low byte counts
  HeadBlock working{};
  std::copy_n("031QQ777", 8, working.begin());
  working[33] = 2;
  working[40] = 7;
  HeadBlock read{};
  EnterHeadId("ab12cd");

  EXPECT_EQ(SetHeadID(ctx, link, working, read).ResultCode(), kHeadIdWritten);

  EXPECT_EQ(preset, "OLD001");
  const RomImage& e = printer.eeprom();
  EXPECT_EQ(Text(e, 0, 8), "031QQ777");
  EXPECT_EQ(Text(e, 8, 13), "0404070905030");
  EXPECT_EQ(Text(e, kHeadIdOffset, 6), "AB12CD");
  EXPECT_EQ(e[27], 0xFD);
  EXPECT_EQ(e[28], 0x02);
  EXPECT_EQ(e[29], 0);
  EXPECT_EQ(e[30], 0);
  EXPECT_EQ(e[31], 0);
  EXPECT_EQ(e[32], 6);  // LeftMargin comes from the printer
  EXPECT_EQ(e[33], 2);
  EXPECT_EQ(e[40], 7);
  // Ink values with nothing stored: the defaults.
  EXPECT_EQ(e[kUnplugAccumulationOffset], 24);
  EXPECT_EQ(e[kTclConditionOffset], 3);
  EXPECT_EQ(read, working);

  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_EQ(op.messages()[0].text, "Write EEPROM Success !!");
  EXPECT_EQ(op.messages()[0].caption, "Head ID");
  EXPECT_EQ(op.messages()[0].icon, Icon::kInformation);

  EXPECT_THAT(
      Traffic(),
      ElementsAre("REMOTE ST 0", "READ(0,41)", "J(0,0)", "M(0,0,0,0,0,4)", "M(0,1,2,210,6,1)",
                  "M(0,0,0,0,0,5)", "WRITE(0,41)", "DATA(41)", "REMOTE ST 0", "READ(0,41)",
                  "READ(0,128)", "REMOTE ST 0", "F", "WRITE(0,128)", "DATA(128)", "READ(0,128)",
                  "REMOTE ST 0", "F", "M(0,0,0,0,0,6)", "M(0,0,2,180,6,1)", "M(0,0,0,0,6,0)",
                  "M(0,0,0,0,0,3)", "J(1,0)", "J(0,0)", "M(0,0,0,0,0,3)", "J(1,0)"));
}

TEST_F(ProgramHeadId, DisabledOffsetsKeepThePrintersValues) {
  settings.WriteInt32(kSelectPrinterKey, "disable", 1);
  settings.WriteInt32(kSelectPrinterKey, "MS1", -3);
  settings.WriteByte(kSelectPrinterKey, "disableink", 1);
  HeadBlock working{}, read{};
  EnterHeadId("ZZ9999");
  EXPECT_EQ(SetHeadID(ctx, link, working, read).ResultCode(), kHeadIdWritten);
  for (uint8_t i = 0; i < 6; ++i) EXPECT_EQ(printer.eeprom()[27 + i], i + 1);
  // The ink values are left alone, so the image is never written.
  EXPECT_EQ(printer.eeprom()[kUnplugAccumulationOffset], 99);
  for (const std::string& t : Traffic()) EXPECT_NE(t, "WRITE(0,128)");
}

TEST_F(ProgramHeadId, CancelMovesTheCarriageBackAndWritesNothing) {
  const RomImage before = printer.eeprom();
  HeadBlock working{}, read{};
  op.QueueDialog([](DialogModel&) { return DialogModel::kCancelId; });
  EXPECT_EQ(SetHeadID(ctx, link, working, read).ResultCode(), kHeadIdCancelled);
  EXPECT_EQ(printer.eeprom(), before);
  EXPECT_TRUE(op.messages().empty());
  EXPECT_THAT(Traffic(), ElementsAre("REMOTE ST 0", "READ(0,41)", "J(0,0)", "M(0,0,0,0,0,4)",
                                     "M(0,1,2,210,6,1)", "M(0,0,0,0,0,5)", "M(0,0,0,0,0,6)",
                                     "M(0,0,2,180,6,1)", "M(0,0,0,0,6,0)", "M(0,0,0,0,0,3)",
                                     "J(1,0)", "J(0,0)", "M(0,0,0,0,0,3)", "J(1,0)"));
}

TEST_F(ProgramHeadId, AFreshPrintersErasedHeadIdIsShownAsLatin1Characters) {
  std::fill_n(printer.eeprom().begin() + kHeadIdOffset, kHeadIdSize, uint8_t{0xFF});
  HeadBlock working{}, read{};
  EnterHeadId("NEW001");
  EXPECT_EQ(SetHeadID(ctx, link, working, read).ResultCode(), kHeadIdWritten);
  EXPECT_EQ(preset, "ÿÿÿÿÿÿ");
  EXPECT_EQ(Text(printer.eeprom(), kHeadIdOffset, kHeadIdSize), "NEW001");
}

TEST_F(ProgramHeadId, WriteThatDoesNotStickGivesZero) {
  printer.faults().eeprom_sticks = false;
  HeadBlock working{}, read{};
  EnterHeadId("AB12CD");
  EXPECT_EQ(SetHeadID(ctx, link, working, read).ResultCode(), kHeadIdNotVerified);
  ASSERT_FALSE(op.messages().empty());
  EXPECT_EQ(op.messages()[0].text, "Write EEPROM Error !!");
  EXPECT_EQ(op.messages()[0].caption, "Head ID");
  EXPECT_EQ(op.messages()[0].icon, Icon::kError);
  EXPECT_EQ(Text(printer.eeprom(), kHeadIdOffset, 6), "OLD001");
}

TEST_F(LibraryHeadId, WriteThatDoesNotStickSpeaksChinese) {
  printer.faults().eeprom_sticks = false;
  HeadBlock host{}, write{}, read{};
  EnterHeadId("AB12CD");
  EXPECT_EQ(SetHeadID(ctx, link, write, read, &host).ResultCode(), kHeadIdNotVerified);
  ASSERT_FALSE(op.messages().empty());
  EXPECT_EQ(op.messages()[0].text, "寫入初始資料失敗 !!");
}

TEST_F(LibraryHeadId, HostBlockIsCopiedInAndReceivesWhatWasWritten) {
  clock.SetLocalTime(2010, 12, 31, 23, 59, 58);
  HeadBlock host{};
  std::copy_n("001ZZ999", 8, host.begin());
  host[39] = 2;
  HeadBlock write;
  write.fill(0x55);  // whatever the library's own block held before
  HeadBlock read{};
  EnterHeadId("AB12CD");

  EXPECT_EQ(SetHeadID(ctx, link, write, read, &host).ResultCode(), kHeadIdWritten);
  EXPECT_EQ(Text(host, 0, 8), "001ZZ999");
  EXPECT_EQ(Text(host, 8, 13), "1012312359580");
  EXPECT_EQ(Text(host, kHeadIdOffset, 6), "AB12CD");
  EXPECT_EQ(host[39], 2);
  EXPECT_EQ(host, write);
  // The printer holds the block, but for FwVersion: the ink step wrote the image back with the
  // running version stamped in.
  EXPECT_TRUE(std::equal(host.begin(), host.begin() + kFwVersionOffset, printer.eeprom().begin()));
  EXPECT_EQ(Text(printer.eeprom(), kFwVersionOffset, 4), "B123");
  EXPECT_EQ(op.messages()[0].text, "寫入初始資料成功 !!");

  // The library parks the carriage without the program's extra lock.
  std::vector<std::string> t = Traffic();
  ASSERT_GE(t.size(), 5u);
  EXPECT_THAT(std::vector<std::string>(t.end() - 5, t.end()),
              ElementsAre("M(0,0,0,0,0,6)", "M(0,0,2,180,6,1)", "M(0,0,0,0,6,0)", "M(0,0,0,0,0,3)",
                          "J(1,0)"));
}

TEST_F(LibraryHeadId, CancelLeavesTheHostBlockUnchanged) {
  HeadBlock host{};
  host.fill(0x41);
  HeadBlock write{}, read{};
  EXPECT_EQ(SetHeadID(ctx, link, write, read, &host).ResultCode(),
            kHeadIdCancelled);  // no answer: Cancel
  HeadBlock expected;
  expected.fill(0x41);
  EXPECT_EQ(host, expected);
}

TEST_F(LibraryHeadId, InkSystemValueIsWrittenWhateverDisableinkSays) {
  settings.WriteByte(kSelectPrinterKey, "disableink", 1);
  settings.WriteByte(kSelectPrinterKey, "tclCond", 9);
  settings.WriteByte(kSelectPrinterKey, "unplugA", 50);
  EXPECT_TRUE(SetInkSystemValue(ctx, link));
  EXPECT_EQ(printer.eeprom()[kUnplugAccumulationOffset], 50);
  EXPECT_EQ(printer.eeprom()[kTclConditionOffset], 9);
  EXPECT_THAT(Traffic(), IsSupersetOf({"READ(0,128)", "WRITE(0,128)", "DATA(128)"}));

  printer.faults().silent = true;
  EXPECT_FALSE(SetInkSystemValue(ctx, link));
}

TEST_F(ProgramHeadId, InkValuesThatDidNotReachTheEepromAreNoSuccess) {
  // The head data block goes through; the image with the ink system values does not.
  backend.fail_write = [](std::span<const uint8_t> data) { return data.size() == kRomImageSize; };
  HeadBlock working{}, read{};
  EnterHeadId("ab12cd");
  Outcome outcome = SetHeadID(ctx, link, working, read);

  EXPECT_EQ(outcome.ResultCode(), kHeadIdNotVerified);
  EXPECT_EQ(outcome.kind, OutcomeKind::kVerifyFailed);
  EXPECT_EQ(Text(printer.eeprom(), kHeadIdOffset, 6), "AB12CD");
  EXPECT_EQ(printer.eeprom()[kUnplugAccumulationOffset], 99);
  EXPECT_THAT(MessageTexts(), ElementsAre("WriteFileX: Write MELoadFile Command Error !!",
                                          "Head ID: Write EEPROM Error !!"));
}

TEST_F(LibraryHeadId, AFailedMotorMoveIsPassedOverAndTheIdStands) {
  // The first motor command after the job mark fails once.
  int motor_commands = 0;
  backend.fail_write = [&](std::span<const uint8_t> data) {
    return data.size() == 8 && data[1] == 0x4D && ++motor_commands == 1;
  };
  HeadBlock write{}, read{}, host{};
  EnterHeadId("ab12cd");
  Outcome outcome = SetHeadID(ctx, link, write, read, &host);

  EXPECT_EQ(outcome.ResultCode(), kHeadIdWritten);  // what the host is handed
  EXPECT_TRUE(outcome.passed_over);
  EXPECT_EQ(outcome.kind, OutcomeKind::kTransferFailed);
  EXPECT_EQ(Text(printer.eeprom(), kHeadIdOffset, 6), "AB12CD");
}

}  // namespace
}  // namespace tarvo
