#include "protocol/eeprom_journal.h"

#include <gmock/gmock.h>

#include "model/rom_layout.h"
#include "protocol/eeprom.h"
#include "testing/sim_fixture.h"

namespace tarvo {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct EepromJournalTest : SimFixture {
  void SetUp() override {
    SimFixture::SetUp();
    RomImage& e = printer.eeprom();
    e.fill(0);
    std::copy_n("031", 3, e.begin());
    std::copy_n("AB1234567890123456", 18, e.begin() + kUsbSerialNoOffset);
    std::copy_n("OLD001", 6, e.begin() + kHeadIdOffset);
    ctx.records = &sink;
    sink.BeginOperation("SetHeadID");
  }
  std::vector<uint8_t> Eeprom(size_t n) {
    return {printer.eeprom().begin(), printer.eeprom().begin() + n};
  }

  MemoryRecordSink sink;
};

TEST_F(EepromJournalTest, AHeadBlockWriteKeepsWhatTheOperationReadBeforeIt) {
  HeadBlock block{}, read{};
  ASSERT_TRUE(ReadData(ctx, link, block));
  const std::vector<uint8_t> before = Eeprom(kHeadBlockSize);
  block[kMs1AdjustOffset] = 0xFD;
  wire_lines.Clear();

  ASSERT_TRUE(WriteDataVerify(ctx, link, block, read));

  ASSERT_EQ(sink.journal.size(), 1u);
  const JournalEntry& e = sink.journal[0];
  EXPECT_EQ(e.operation, "SetHeadID");
  EXPECT_EQ(e.area, EepromArea::kHeadBlock);
  EXPECT_EQ(e.check, WriteCheck::kVerified);
  EXPECT_EQ(e.before, before);
  EXPECT_THAT(e.written, ElementsAreArray(block));
  EXPECT_THAT(e.read_back, ElementsAreArray(block));
  EXPECT_EQ(e.printer.model_code, "031");
  EXPECT_EQ(e.printer.usb_serial, "AB1234567890123456");
  EXPECT_EQ(e.printer.head_id, "OLD001");
}

TEST_F(EepromJournalTest, NothingReadBeforeMeansNoBeforeContentAndANewOperationForgets) {
  RomImage image{};
  ASSERT_TRUE(ReadRomImage(ctx, link, image));
  sink.BeginOperation("ResetAll");  // what SetHeadID read is not ResetAll's
  ASSERT_TRUE(WriteRomImageVerify(ctx, link, image, EveryImageByte()));
  ASSERT_EQ(sink.journal.size(), 1u);
  EXPECT_THAT(sink.journal[0].before, IsEmpty());
  EXPECT_EQ(sink.journal[0].operation, "ResetAll");
  // The read-back of that write now counts as read: a second write has a before.
  ASSERT_TRUE(WriteRomImageVerify(ctx, link, image, EveryImageByte()));
  EXPECT_EQ(sink.journal[1].before.size(), kRomImageSize);
}

TEST_F(EepromJournalTest, AFailedWriteIsJournalledAsNotVerified) {
  HeadBlock block{}, read{};
  ASSERT_TRUE(ReadData(ctx, link, block));
  block[kTofAdjustOffset] = 3;
  backend.fail_write = [](std::span<const uint8_t> data) { return data.size() == kHeadBlockSize; };
  EXPECT_FALSE(WriteDataVerify(ctx, link, block, read));
  ASSERT_EQ(sink.journal.size(), 1u);
  EXPECT_EQ(sink.journal[0].check, WriteCheck::kMismatch);
  EXPECT_EQ(sink.journal[0].read_back, Eeprom(kHeadBlockSize));  // the printer kept its block
}

TEST_F(EepromJournalTest, AnUnverifiedImageWriteAndNoSinkAtAll) {
  RomImage image{};
  ASSERT_TRUE(ReadRomImage(ctx, link, image));
  ASSERT_TRUE(WriteRomImage(ctx, link, image));
  ASSERT_EQ(sink.journal.size(), 1u);
  EXPECT_EQ(sink.journal[0].check, WriteCheck::kNotChecked);
  EXPECT_THAT(sink.journal[0].read_back, IsEmpty());

  ctx.records = nullptr;
  ASSERT_TRUE(WriteRomImageVerify(ctx, link, image, EveryImageByte()));
  EXPECT_EQ(sink.journal.size(), 1u);
}

}  // namespace
}  // namespace tarvo
