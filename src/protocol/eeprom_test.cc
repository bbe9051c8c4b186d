#include "protocol/eeprom.h"

#include <gmock/gmock.h>

#include <numeric>

#include "testing/sim_fixture.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;

struct ProgramEeprom : SimFixture {
  void SetUp() override {
    SimFixture::SetUp();
    std::iota(printer.eeprom().begin(), printer.eeprom().end(), uint8_t{0});
    printer.set_firmware("B123");
  }
};

struct LibraryEeprom : LibrarySimFixture {
  void SetUp() override {
    LibrarySimFixture::SetUp();
    std::iota(printer.eeprom().begin(), printer.eeprom().end(), uint8_t{0});
    printer.set_firmware("B123");
  }
};

TEST_F(ProgramEeprom, ReadDataSendsThePreambleFirst) {
  HeadBlock block{};
  EXPECT_TRUE(ReadData(ctx, link, block));
  EXPECT_TRUE(std::equal(block.begin(), block.end(), printer.eeprom().begin()));
  EXPECT_THAT(Traffic(), ElementsAre("REMOTE ST 0", "READ(0,41)"));
}

TEST_F(LibraryEeprom, ReadDataSendsThePreambleAfterTheCommand) {
  HeadBlock block{};
  EXPECT_TRUE(ReadData(ctx, link, block));
  EXPECT_EQ(block[40], 40);
  EXPECT_THAT(Traffic(), ElementsAre("READ(0,41)", "REMOTE ST 0"));
}

TEST_F(LibraryEeprom, ReadDataFailureLeavesTheBlockAndSaysWhichStep) {
  printer.faults().silent = true;
  HeadBlock block;
  block.fill(0xEE);
  EXPECT_FALSE(ReadData(ctx, link, block));
  EXPECT_EQ(block[0], 0xEE);
  EXPECT_EQ(block[40], 0xEE);
  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_EQ(op.messages()[0].text, "Read Data 讀取失敗 1 !!");
  EXPECT_EQ(op.messages()[0].caption, "ReadFileX");
}

TEST_F(ProgramEeprom, ImageReadStampsTheRunningVersionAndWritesNothingBack) {
  RomImage image{};
  EXPECT_TRUE(ReadRomImage(ctx, link, image));
  EXPECT_EQ(std::string(image.begin() + 34, image.begin() + 38), "B123");
  EXPECT_EQ(image[33], 33);
  EXPECT_EQ(image[38], 38);
  EXPECT_EQ(image[127], 127);
  EXPECT_EQ(printer.eeprom()[34], 34);  // the stored version stays as it was
  EXPECT_THAT(Traffic(), ElementsAre("READ(0,128)", "REMOTE ST 0", "F"));
}

TEST_F(LibraryEeprom, ImageReadPlacesPreamblesAroundTheAnswer) {
  RomImage image{};
  EXPECT_TRUE(ReadRomImage(ctx, link, image));
  EXPECT_THAT(Traffic(),
              ElementsAre("READ(0,128)", "REMOTE ST 0", "REMOTE ST 0", "F", "REMOTE ST 0"));
}

TEST_F(ProgramEeprom, ImageVerifyIgnoresTheVersionBytes) {
  RomImage image = printer.eeprom();
  image[5] = 'X';
  std::copy_n("ZZZZ", 4, image.begin() + 34);
  EXPECT_TRUE(WriteRomImageVerify(ctx, link, image, ImageBytes{}));
  EXPECT_EQ(printer.eeprom()[5], 'X');
  EXPECT_EQ(printer.eeprom()[34], 'Z');  // stored as written; only the read stamps it
  EXPECT_THAT(Traffic(),
              ElementsAre("WRITE(0,128)", "DATA(128)", "READ(0,128)", "REMOTE ST 0", "F"));
}

TEST_F(ProgramEeprom, ImageVerifyFailsWhenTheWriteDoesNotStick) {
  printer.faults().eeprom_sticks = false;
  RomImage image = printer.eeprom();
  image[33] ^= 0xFF;
  EXPECT_FALSE(WriteRomImageVerify(ctx, link, image, ImageBytes{}));
}

TEST_F(ProgramEeprom, ImageVerifyChecksTheBytesMeantBeyondTheHead) {
  printer.faults().eeprom_sticks = false;
  RomImage image = printer.eeprom();
  const RomImage as_read = image;
  image[kInitialStuffFlagOffset] ^= 0xFF;
  Outcome written = WriteRomImageVerify(ctx, link, image, ChangedBytes(as_read, image));
  EXPECT_EQ(written.kind, OutcomeKind::kVerifyFailed);
  EXPECT_EQ(written.step, "ROM data image read back differs at 0x4d");
  EXPECT_EQ(written.Code(), 0);
}

TEST_F(ProgramEeprom, ImageVerifyLeavesBytesNotMeantToThePrinter) {
  // The counters were written back as read; that the printer holds others by the read-back is
  // its own matter.
  printer.faults().eeprom_sticks = false;
  RomImage image = printer.eeprom();
  image[0x50] ^= 0xFF;
  image[kFwVersionOffset] ^= 0xFF;
  EXPECT_TRUE(WriteRomImageVerify(ctx, link, image, ImageBytes{}));
  ImageBytes version;
  version.set(kFwVersionOffset);
  EXPECT_TRUE(WriteRomImageVerify(ctx, link, image, version));
  EXPECT_FALSE(WriteRomImageVerify(ctx, link, image, EveryImageByte()));
}

TEST_F(ProgramEeprom, FailedTransfersSayWhichStep) {
  printer.faults().fail_write_after = 0;
  RomImage image = printer.eeprom();
  Outcome written = WriteRomImageVerify(ctx, link, image, EveryImageByte());
  EXPECT_EQ(written.kind, OutcomeKind::kTransferFailed);
  EXPECT_EQ(written.step, "Write MELoadFile Command Error !!");

  printer.faults().fail_write_after = -1;
  printer.faults().silent = true;
  Outcome read = ReadRomImage(ctx, link, image);
  EXPECT_EQ(read.kind, OutcomeKind::kTransferFailed);
  EXPECT_EQ(read.step, "no answer to the ROM data image read");
}

TEST_F(LibraryEeprom, AFailedPreambleIsPassedOverAndTheReadStands) {
  // The library sends its preamble after the command: the second transfer fails.
  printer.faults().fail_write_after = 1;
  HeadBlock block{};
  Outcome read = ReadData(ctx, link, block);
  EXPECT_FALSE(read.ok());
  EXPECT_TRUE(read.achieved());
  EXPECT_EQ(read.kind, OutcomeKind::kTransferFailed);
  EXPECT_EQ(block[5], 5);
}

TEST_F(ProgramEeprom, BlockVerifyComparesAllBytes) {
  HeadBlock block = HeadBlockOf(printer.eeprom());
  block[40] = 0x99;
  HeadBlock back{};
  EXPECT_TRUE(WriteDataVerify(ctx, link, block, back));
  EXPECT_EQ(back, block);
  EXPECT_THAT(Traffic(), ElementsAre("WRITE(0,41)", "DATA(41)", "REMOTE ST 0", "READ(0,41)"));

  printer.faults().eeprom_sticks = false;
  block[0] = 'Q';
  EXPECT_FALSE(WriteDataVerify(ctx, link, block, back));
  EXPECT_EQ(back[0], 0);
}

TEST_F(ProgramEeprom, BlockVerifyFailsWhenTheReadBackFailsEvenIfTheOldBlockMatches) {
  HeadBlock block = HeadBlockOf(printer.eeprom());
  HeadBlock back = block;
  printer.faults().silent = true;
  EXPECT_FALSE(WriteDataVerify(ctx, link, block, back));
  EXPECT_EQ(back, block);
}

TEST_F(ProgramEeprom, BlockVerifyFailsWhenTheWriteFails) {
  HeadBlock block = HeadBlockOf(printer.eeprom());
  HeadBlock back{};
  printer.faults().fail_write_after = 0;
  EXPECT_FALSE(WriteDataVerify(ctx, link, block, back));
  EXPECT_EQ(op.messages()[0].text, "Write MELoadFile Command Error !!");
}

TEST_F(LibraryEeprom, WriteDataFailureTextsNameTheStep) {
  printer.faults().fail_write_after = 1;
  EXPECT_FALSE(WriteData(ctx, link, HeadBlock{}));
  printer.faults().fail_write_after = 0;
  EXPECT_FALSE(WriteData(ctx, link, HeadBlock{}));
  EXPECT_THAT(MessageTexts(),
              ElementsAre("WriteFileX: 寫入資料失敗 2 !!", "WriteFileX: 寫入資料失敗 1 !!"));
}

TEST_F(ProgramEeprom, GenericReadDropsTheLongAnswer) {
  RomImage image{};
  EXPECT_TRUE(ReadMemory(ctx, link, image, 0));
  EXPECT_EQ(image, printer.eeprom());  // no version stamp here
  EXPECT_THAT(Traffic(), ElementsAre("REMOTE ST 0", "READ(0,128)"));

  std::vector<uint8_t> too_long(129);
  EXPECT_FALSE(ReadMemory(ctx, link, too_long, 0));
  EXPECT_TRUE(Traffic().empty());
}

TEST_F(LibraryEeprom, GenericReadPreamblesAndFailureText) {
  RomImage image{};
  EXPECT_TRUE(ReadMemory(ctx, link, image, 0));
  EXPECT_THAT(Traffic(), ElementsAre("READ(0,128)", "REMOTE ST 0", "REMOTE ST 0"));
  printer.faults().fail_write_after = 0;
  EXPECT_FALSE(ReadMemory(ctx, link, image, 0));
  EXPECT_THAT(MessageTexts(), ElementsAre("WriteFileX:  MELoadFile Command 寫入失敗 !!"));
}

}  // namespace
}  // namespace tarvo
