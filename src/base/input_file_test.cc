#include "base/input_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <vector>

#include "testing/scratch_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct InputFileTest : ::testing::Test {
  fs::path Make(const std::string& name, size_t size) {
    const fs::path path = scratch.path() / name;
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
    return path;
  }
  testing::ScratchDir scratch;
};

TEST_F(InputFileTest, RegularFileIsReadToItsEndInFullBuffers) {
  InputFile file = InputFile::Open(Make("a.prn", 10));
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.kind(), FileKind::kRegular);
  EXPECT_EQ(file.size(), 10u);
  std::vector<uint8_t> buffer(4);
  EXPECT_EQ(file.Read(buffer), 4u);
  EXPECT_EQ(file.Read(buffer), 4u);
  EXPECT_EQ(file.Read(buffer), 2u);
  EXPECT_EQ(file.Read(buffer), 0u);

  InputFile moved = std::move(file);
  EXPECT_TRUE(moved.ok());
  EXPECT_FALSE(file.ok());  // NOLINT(bugprone-use-after-move): the moved-from file holds nothing
}

TEST_F(InputFileTest, WhatIsNoRegularFileIsNotOpened) {
  InputFile missing = InputFile::Open(scratch.path() / "missing.prn");
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.kind(), FileKind::kMissing);
  EXPECT_EQ(InputFile::Open("").kind(), FileKind::kMissing);

  InputFile folder = InputFile::Open(scratch.path());
  EXPECT_FALSE(folder.ok());
  EXPECT_EQ(folder.kind(), FileKind::kFolder);
}

#ifndef _WIN32
TEST_F(InputFileTest, NamedPipeAndDeviceAreRefusedWithoutWaiting) {
  // Opening a named pipe for reading waits for a writer: the test would hang if it were opened.
  const fs::path fifo = scratch.path() / "pipe.prn";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  InputFile pipe = InputFile::Open(fifo);
  EXPECT_FALSE(pipe.ok());
  EXPECT_EQ(pipe.kind(), FileKind::kPipe);

  InputFile zero = InputFile::Open("/dev/zero");
  EXPECT_FALSE(zero.ok());
  EXPECT_EQ(zero.kind(), FileKind::kDevice);
}

TEST_F(InputFileTest, FileWhoseSizeSaysZeroIsReadAll) {
  if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "no /proc";
  InputFile status = InputFile::Open("/proc/self/status");
  ASSERT_TRUE(status.ok());
  EXPECT_EQ(status.size(), 0u);
  std::vector<uint8_t> buffer(1 << 16);
  EXPECT_GT(status.Read(buffer).value_or(0), 0u);
}
#endif

}  // namespace
}  // namespace tarvo
