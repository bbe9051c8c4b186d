// The file operations both systems share; the same tests run on Linux and under Wine.
#include "base/file_ops.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <thread>

#include "testing/scratch_dir.h"

namespace tarvo::file_ops {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Write(int fd, std::string_view text) {
  return WriteAll(fd, text.data(), text.size());
}

TEST(FileOps, AppendKeepsWhatIsThereAndWritesBytesUnchanged) {
  testing::ScratchDir scratch;
  const fs::path log = scratch.path() / "wire.log";
  for (std::string_view line : {"W 1b7c\n", "R 00\r\n"}) {
    int fd = OpenForAppend(log);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(Write(fd, line));
    EXPECT_TRUE(Close(fd));
  }
  // No line-end translation: the log reads the same on both systems.
  EXPECT_EQ(ReadText(log), "W 1b7c\nR 00\r\n");
  EXPECT_LT(OpenForAppend(scratch.path() / "missing" / "wire.log"), 0);
}

TEST(FileOps, WriteEmptiesTheFileOrRefusesAnExistingOne) {
  testing::ScratchDir scratch;
  const fs::path file = scratch.path() / "p.json";
  std::ofstream(file) << "the old and longer text";
  int fd = OpenForWrite(file, false);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(Write(fd, "new") && Sync(fd) && Close(fd));
  EXPECT_EQ(ReadText(file), "new");

  EXPECT_LT(OpenForWrite(file, true), 0);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadText(file), "new");
  EXPECT_TRUE(Remove(file));
  EXPECT_FALSE(Remove(file));
  EXPECT_EQ(errno, ENOENT);
}

TEST(FileOps, ReplaceTakesThePlaceOfAnExistingFile) {
  testing::ScratchDir scratch;
  const fs::path file = scratch.path() / "settings.json";
  const fs::path tmp = scratch.path() / "settings.json.tmp1";
  std::ofstream(file) << "old";
  std::ofstream(tmp) << "new";
  ASSERT_TRUE(Replace(tmp, file));
  EXPECT_EQ(ReadText(file), "new");
  EXPECT_FALSE(fs::exists(tmp));

  EXPECT_FALSE(Replace(tmp, file));  // gone: nothing replaced
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(ReadText(file), "new");
  EXPECT_THAT(ErrorText(ENOENT), ::testing::Not(::testing::IsEmpty()));
}

TEST(FileOps, ThisProcessRunsAndImpossibleIdsAreNotTakenForEnded) {
  EXPECT_GT(ThisProcess(), 0);
  EXPECT_FALSE(ProcessHasEnded(ThisProcess()));
  EXPECT_FALSE(ProcessHasEnded(0));
  EXPECT_FALSE(ProcessHasEnded(-5));
  EXPECT_FALSE(ProcessHasEnded(int64_t{1} << 40));
}

TEST(FileOps, ALockIsMadeWhenMissingAndTakenAgainOnceReleased) {
  testing::ScratchDir scratch;
  const fs::path lock_file = scratch.path() / "settings.json.lock";
  {
    ExclusiveLock lock(lock_file);
    EXPECT_TRUE(lock.ok());
    EXPECT_TRUE(fs::exists(lock_file));
  }
  // Released at the end of its life: another thread takes it at once.
  bool taken = false;
  std::thread([&] { taken = ExclusiveLock(lock_file).ok(); }).join();
  EXPECT_TRUE(taken);

  ExclusiveLock nowhere(scratch.path() / "missing" / "x.lock");
  EXPECT_FALSE(nowhere.ok());
  EXPECT_EQ(nowhere.error(), ENOENT);
}

}  // namespace
}  // namespace tarvo::file_ops
