#include "operations/rom_file.h"

#include <gtest/gtest.h>

#include "operations/romdata_test_env.h"

namespace tarvo {
namespace {

using testing::ScratchDir;
using testing_env::Bench;
using testing_env::Pattern;
using testing_env::ReadBytes;
using testing_env::WriteBytes;

class RomFileTest : public ::testing::Test {
 protected:
  std::vector<uint8_t> Bytes(size_t n, uint8_t seed) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(seed + i);
    return bytes;
  }

  Bench bench;
  ScratchDir dir;
};

TEST_F(RomFileTest, ShortFileLoadsWithZeroBytesAfterIt) {
  const std::string path = dir.File("short.rom");
  WriteBytes(path, Bytes(100, 3));
  bench.op.QueueFile(path);
  EXPECT_TRUE(LoadFile(bench.ctx, bench.link));

  RomImage expected{};
  for (size_t i = 0; i < 100; ++i) expected[i] = static_cast<uint8_t>(3 + i);
  EXPECT_EQ(bench.printer.eeprom(), expected);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Load: Load Data Success !!"});
  EXPECT_EQ(bench.op.requests.at(0).filter, "All Files|*.*||");
  EXPECT_FALSE(bench.op.requests.at(0).save);
}

TEST_F(RomFileTest, LongFileLoadsItsFirst128Bytes) {
  const std::string path = dir.File("long.rom");
  WriteBytes(path, Bytes(200, 9));
  bench.op.QueueFile(path);
  EXPECT_TRUE(LoadFile(bench.ctx, bench.link));
  const std::vector<uint8_t> first = Bytes(128, 9);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), bench.printer.eeprom().begin()));
}

TEST_F(RomFileTest, NoFileMeansOpenErrorAndNothingWritten) {
  bench.op.QueueFile(std::nullopt);
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  bench.op.QueueFile(dir.File("missing.rom"));
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  bench.op.QueueFile(dir.path().string());  // a folder cannot be read as a file
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));

  EXPECT_TRUE(bench.Received().empty());
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>(3, "MEload: Open File Error !!"));
  EXPECT_EQ(bench.op.messages().at(0).icon, Icon::kError);
}

TEST_F(RomFileTest, LoadThatDoesNotStickIsReportedAsFailure) {
  const std::string path = dir.File("image.rom");
  WriteBytes(path, Bytes(128, 1));
  bench.printer.faults().eeprom_sticks = false;
  bench.op.QueueFile(path);
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Load: Load Data Fail !!"});
}

TEST_F(RomFileTest, SaveThenLoadGivesTheSameImage) {
  RomImage original = Pattern(5);
  std::copy_n("0073", 4, original.begin() + kFwVersionOffset);  // what the read stamps there
  bench.printer.eeprom() = original;

  const std::string path = dir.File("backup.rom");
  bench.op.QueueFile(path);
  EXPECT_TRUE(SaveFile(bench.ctx, bench.link));
  EXPECT_TRUE(bench.op.requests.at(0).save);
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>{"Save: Save to File Success !!"});
  const std::vector<uint8_t> saved = ReadBytes(path);
  EXPECT_EQ(saved, std::vector<uint8_t>(original.begin(), original.end()));

  bench.printer.eeprom().fill(0);
  bench.op.QueueFile(path);
  EXPECT_TRUE(LoadFile(bench.ctx, bench.link));
  EXPECT_EQ(bench.printer.eeprom(), original);
}

TEST_F(RomFileTest, FailedReadLeavesAnExistingBackupUntouched) {
  const std::string path = dir.File("backup.rom");
  const std::vector<uint8_t> backup = Bytes(128, 42);
  WriteBytes(path, backup);
  bench.printer.faults().silent = true;
  bench.op.QueueFile(path);
  EXPECT_FALSE(SaveFile(bench.ctx, bench.link));

  EXPECT_EQ(ReadBytes(path), backup);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left behind
  for (const Message& m : bench.op.messages()) EXPECT_NE(m.caption, "Save");
}

TEST_F(RomFileTest, SaveWithoutAUsablePath) {
  bench.op.QueueFile(std::nullopt);
  EXPECT_FALSE(SaveFile(bench.ctx, bench.link));
  EXPECT_TRUE(bench.Received().empty());  // nothing asked of the printer

  bench.op.QueueFile(dir.File("no/such/folder/backup.rom"));
  EXPECT_FALSE(SaveFile(bench.ctx, bench.link));
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>(2, "MEload: Open File Error !!"));
}

TEST_F(RomFileTest, FileDialogsLeaveTheCurrentDirectoryAsItWas) {
  const auto before = std::filesystem::current_path();
  const std::string path = dir.File("backup.rom");
  bench.op.wander_to = dir.path();
  bench.op.QueueFile(path);
  EXPECT_TRUE(SaveFile(bench.ctx, bench.link));
  EXPECT_EQ(std::filesystem::current_path(), before);
  bench.op.QueueFile(path);
  EXPECT_TRUE(LoadFile(bench.ctx, bench.link));
  EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace tarvo
