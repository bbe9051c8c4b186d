#include "operations/transfer_0071.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>

#include "operations/romdata_test_env.h"

namespace tarvo {
namespace {

using testing::ScratchDir;
using testing_env::Bench;

using OldFile = std::array<uint8_t, kOldRomFileSize>;

void PutDouble(OldFile& old, size_t offset, double value) {
  const auto raw = std::bit_cast<uint64_t>(value);
  for (size_t i = 0; i < 8; ++i) old[offset + i] = static_cast<uint8_t>(raw >> (8 * i));
}

float FloatField(const RomImage& image, std::string_view name) {
  return GetFloat(image, *FindField(name));
}
int64_t IntField(const RomImage& image, std::string_view name) {
  return GetInt(image, *FindField(name));
}

// An old file whose integer and character bytes count up from 0x10, with distinct counters.
OldFile SampleOldFile() {
  OldFile old;
  for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<uint8_t>(0x10 + i);
  PutDouble(old, 0x29, 1.5);
  PutDouble(old, 0x35, 1e300);
  PutDouble(old, 0x3D, -1e300);
  PutDouble(old, 0x45, 0.1);
  PutDouble(old, 0x4D, 123456.75);
  return old;
}

TEST(NarrowCounter, RoundsToNearestAndOverflowsToInfinity) {
  EXPECT_EQ(NarrowCounter(1.5), 1.5f);
  EXPECT_EQ(NarrowCounter(0.1), 0.1f);
  EXPECT_EQ(NarrowCounter(1e300), std::numeric_limits<float>::infinity());
  EXPECT_EQ(NarrowCounter(-1e300), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(NarrowCounter(FLT_MAX), FLT_MAX);
  // Just past the largest float, but nearer to it than to the next power of two.
  EXPECT_EQ(NarrowCounter(static_cast<double>(FLT_MAX) * (1 + 1e-9)), FLT_MAX);
  EXPECT_TRUE(std::isinf(NarrowCounter(std::ldexp(1.0, 128))));
  EXPECT_TRUE(std::isnan(NarrowCounter(std::numeric_limits<double>::quiet_NaN())));
}

TEST(ConvertRomData0071, MovesEveryFieldToItsNewPlace) {
  const OldFile old = SampleOldFile();
  RomImage current;
  current.fill(0xAA);
  const RomImage image = ConvertRomData0071(old, current, "0073");

  // 0x00-0x21 keep their offsets: ModelName ... ModelNumber.
  for (size_t i = 0; i < 0x22; ++i) EXPECT_EQ(image[i], old[i]) << i;
  EXPECT_EQ(GetChars(image, *FindField("FwVersion")), "0073");
  for (size_t i = 0x26; i < 0x29; ++i) EXPECT_EQ(image[i], old[i]) << i;
  EXPECT_EQ(FloatField(image, "ProtectionCounterA"), 1.5f);
  EXPECT_EQ(IntField(image, "InkCounterRb0"), old[0x31] | (old[0x32] << 8));
  EXPECT_EQ(IntField(image, "InkCounterRy0"), old[0x33] | (old[0x34] << 8));
  EXPECT_EQ(FloatField(image, "InkConsumptionCb"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(FloatField(image, "InkConsumptionCy"), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(FloatField(image, "InkConsumptionCm"), 0.1f);
  EXPECT_EQ(FloatField(image, "InkConsumptionCc"), 123456.75f);
  // AccumulationPrintTimer (old 0x55) through LocalCounter2 (old 0x79) move down by 0x14.
  for (size_t i = 0x41; i < 0x67; ++i) EXPECT_EQ(image[i], old[i + 0x14]) << i;
  EXPECT_EQ(image[kFtFlagOffset], old[0x7B]);
}

TEST(ConvertRomData0071, ClearsUnnamedBytesAndKeepsTheRestFromTheCurrentImage) {
  RomImage current;
  for (size_t i = 0; i < current.size(); ++i) current[i] = static_cast<uint8_t>(0x80 + i);
  const RomImage image = ConvertRomData0071(SampleOldFile(), current, "0073");
  for (size_t i = 0x67; i <= 0x6D; ++i) EXPECT_EQ(image[i], 0) << i;
  for (size_t i = 0x70; i <= 0x79; ++i) EXPECT_EQ(image[i], 0) << i;
  for (size_t i : {0x6E, 0x6F, 0x7A, 0x7C, 0x7D, 0x7E, 0x7F}) {
    EXPECT_EQ(image[i], current[i]) << i;
  }
}

TEST(ConvertRomData0071, AFailedVersionQueryLeavesZeroBytes) {
  const RomImage image = ConvertRomData0071(SampleOldFile(), RomImage{}, "");
  for (size_t i = 0; i < kFwVersionSize; ++i) EXPECT_EQ(image[kFwVersionOffset + i], 0);
}

class TransferflagTest : public ::testing::Test {
 protected:
  std::string OldFileOf(size_t size, uint8_t fill) {
    std::vector<uint8_t> bytes(size, fill);
    std::string path = dir.File("old" + std::to_string(size) + ".rom");
    testing_env::WriteBytes(path, bytes);
    return path;
  }

  Bench bench;
  DeviceState state;
  ScratchDir dir;
};

// The write is read back, so a printer that did not store the image is told (see below).
TEST_F(TransferflagTest, FileIsConvertedAndWrittenWithReadBack) {
  std::vector<uint8_t> bytes(kOldRomFileSize, 0);
  std::fill_n(bytes.begin(), 100, 0x11);
  const std::string path = dir.File("old.rom");
  testing_env::WriteBytes(path, bytes);
  bench.op.QueueFile(path);
  state.current_image.fill(0x77);
  EXPECT_TRUE(Transferflag(bench.ctx, bench.link, state));

  EXPECT_EQ(bench.Received(),
            (std::vector<std::string>{"F", "WRITE(0,128)", "DATA(128)", "READ(0,128)", "F"}));
  EXPECT_TRUE(bench.op.messages().empty());
  const RomImage& image = state.current_image;
  EXPECT_EQ(bench.printer.eeprom(), image);
  EXPECT_EQ(image[0x00], 0x11);
  EXPECT_EQ(IntField(image, "NonUsed1"), 0x11);      // old 0x5C
  EXPECT_EQ(IntField(image, "Ymc1stIcFlag"), 0x11);  // old 0x63, the last byte of 0x11
  EXPECT_EQ(IntField(image, "NonUsed2"), 0);         // old 0x64, the first zero byte
  EXPECT_EQ(IntField(image, "LocalCounter2"), 0);
  EXPECT_EQ(image[kFtFlagOffset], 0);
  EXPECT_EQ(image[kUnplugAccumulationOffset], 0x77);
  EXPECT_EQ(GetChars(image, *FindField("FwVersion")), "0073");
  EXPECT_EQ(bench.op.requests.at(0).filter, "All Files|*.*||");
}

TEST_F(TransferflagTest, FileOfAnotherSizeIsRefusedNamingItsSizeAndNothingWritten) {
  state.current_image.fill(0x55);
  const RomImage before = state.current_image;
  std::vector<std::string> expected;
  for (size_t size : {0, 100, 123, 125, 128, 300, 1 << 20}) {
    const std::string path = OldFileOf(size, 0x22);
    bench.op.QueueFile(path);
    EXPECT_FALSE(Transferflag(bench.ctx, bench.link, state)) << size;
    expected.push_back("MEload: Open File Error !! " + path + " (" + std::to_string(size) +
                       " bytes, not 124)");
  }
  bench.op.QueueFile(dir.path().string());
  EXPECT_FALSE(Transferflag(bench.ctx, bench.link, state));
  expected.push_back("MEload: Open File Error !! " + dir.path().string() + " (a folder)");

  EXPECT_EQ(bench.MessageTexts(), expected);
  EXPECT_TRUE(bench.Received().empty());  // not even the version query
  EXPECT_EQ(state.current_image, before);
}

TEST_F(TransferflagTest, UnreadableFileWritesNothing) {
  state.current_image.fill(0x55);
  const RomImage before = state.current_image;
  bench.op.QueueFile(std::nullopt);
  EXPECT_FALSE(Transferflag(bench.ctx, bench.link, state));
  bench.op.QueueFile(dir.File("missing.rom"));
  EXPECT_FALSE(Transferflag(bench.ctx, bench.link, state));

  EXPECT_TRUE(bench.Received().empty());
  EXPECT_EQ(state.current_image, before);
  EXPECT_EQ(bench.op.messages().size(), 2u);
}

TEST_F(TransferflagTest, NoWriteAfterAFailedVersionQuery) {
  state.current_image.fill(0x55);
  const RomImage before = state.current_image;
  const RomImage eeprom = bench.printer.eeprom();
  bench.printer.faults().silent = true;
  bench.op.QueueFile(OldFileOf(124, 0x11));
  Outcome outcome = Transferflag(bench.ctx, bench.link, state);

  EXPECT_EQ(outcome.kind, OutcomeKind::kTransferFailed);
  EXPECT_EQ(outcome.step, "Transfer Data Fail !!");
  EXPECT_FALSE(bench.Wrote());
  EXPECT_EQ(bench.printer.eeprom(), eeprom);
  EXPECT_EQ(state.current_image, before);
  EXPECT_EQ(bench.MessageTexts().back(), "Transfer: Transfer Data Fail !!");
}

TEST_F(TransferflagTest, AnImageThePrinterDidNotStoreIsTold) {
  bench.printer.faults().eeprom_sticks = false;
  bench.op.QueueFile(OldFileOf(124, 0x11));
  Outcome outcome = Transferflag(bench.ctx, bench.link, state);

  EXPECT_EQ(outcome.kind, OutcomeKind::kVerifyFailed);
  EXPECT_EQ(outcome.Code(), 0);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Transfer: Transfer Data Fail !!"});
  EXPECT_EQ(bench.op.messages().back().icon, Icon::kError);
}

}  // namespace
}  // namespace tarvo
