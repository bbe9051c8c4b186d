#include "operations/rom_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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

// A file of another size is no ROM data image: zeros written in its place would clear the
// printer's settings, the firmware version among them.
TEST_F(RomFileTest, FileOfAnotherSizeIsRefusedNamingItsSizeAndNothingWritten) {
  const RomImage before = bench.printer.eeprom();
  std::vector<std::string> expected;
  for (size_t size : {0, 100, 127, 129, 200, 1 << 20}) {
    const std::string path = dir.File(std::to_string(size) + ".rom");
    WriteBytes(path, Bytes(size, 3));
    bench.op.QueueFile(path);
    EXPECT_FALSE(LoadFile(bench.ctx, bench.link)) << size;
    expected.push_back("MEload: Open File Error !! " + path + " (" + std::to_string(size) +
                       " bytes, not 128)");
  }
#ifndef _WIN32
  // Sparse: nothing of it is on the disk, and nothing of it is read.
  const std::string huge = dir.File("huge.rom");
  WriteBytes(huge, {});
  std::filesystem::resize_file(huge, uint64_t{4} << 30);
  bench.op.QueueFile(huge);
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  expected.push_back("MEload: Open File Error !! " + huge + " (4294967296 bytes, not 128)");
#endif

  EXPECT_EQ(bench.MessageTexts(), expected);
  EXPECT_EQ(bench.op.messages().at(0).icon, Icon::kError);
  EXPECT_TRUE(bench.Received().empty());
  EXPECT_EQ(bench.printer.eeprom(), before);
  EXPECT_EQ(bench.op.requests.at(0).filter, "All Files|*.*||");
  EXPECT_FALSE(bench.op.requests.at(0).save);
}

TEST_F(RomFileTest, WhatIsNoRegularFileIsRefusedWithoutWaitingForIt) {
  bench.op.QueueFile(dir.path().string());
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  std::vector<std::string> expected{"MEload: Open File Error !! " + dir.path().string() +
                                    " (a folder)"};
#ifndef _WIN32
  const std::string fifo = dir.File("pipe.rom");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  bench.op.QueueFile(fifo);
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  bench.op.QueueFile("/dev/zero");
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  expected.push_back("MEload: Open File Error !! " + fifo + " (a named pipe)");
  expected.push_back("MEload: Open File Error !! /dev/zero (a device)");
  // Says it is empty, holds more than an image: refused without reading it all.
  if (std::filesystem::exists("/proc/cpuinfo")) {
    bench.op.QueueFile("/proc/cpuinfo");
    EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
    expected.push_back("MEload: Open File Error !! /proc/cpuinfo (more than 128 bytes)");
  }
#endif
  EXPECT_EQ(bench.MessageTexts(), expected);
  EXPECT_TRUE(bench.Received().empty());
}

TEST_F(RomFileTest, LibraryTellsTheRefusalInItsOwnWords) {
  Bench library(kLibraryEdition);
  const std::string path = dir.File("short.rom");
  WriteBytes(path, Bytes(127, 1));
  library.op.QueueFile(path);
  EXPECT_FALSE(LoadFile(library.ctx, library.link));
  EXPECT_EQ(library.MessageTexts(), std::vector<std::string>{"MEload: Open File Error !! " + path +
                                                             " (127 位元組, 應為 128 位元組)"});
}

TEST_F(RomFileTest, NoFileMeansOpenErrorAndNothingWritten) {
  bench.op.QueueFile(std::nullopt);
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));
  bench.op.QueueFile(dir.File("missing.rom"));
  EXPECT_FALSE(LoadFile(bench.ctx, bench.link));

  EXPECT_TRUE(bench.Received().empty());
  EXPECT_EQ(bench.MessageTexts(), std::vector<std::string>(2, "MEload: Open File Error !!"));
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
