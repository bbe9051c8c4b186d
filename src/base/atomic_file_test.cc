#include "base/atomic_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "base/file_ops.h"
#include "testing/scratch_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  return out;
}

// A process id that ran and is gone.
pid_t DeadPid() {
  pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(AtomicFile, ReplacesTheFileAndLeavesNothingElse) {
  testing::ScratchDir scratch;
  const fs::path file = scratch.path() / "state.json";
  ASSERT_TRUE(WriteFileAtomically(file, Bytes("old")));
  ASSERT_TRUE(WriteFileAtomically(file, Bytes("the new text")));
  EXPECT_EQ(ReadText(file), "the new text");
  EXPECT_THAT(Names(scratch.path()), UnorderedElementsAre("state.json"));
  // A leftover temporary of this very process is replaced, not a reason to fail.
  std::ofstream(file.string() + ".tmp" + std::to_string(getpid())) << "stale";
  ASSERT_TRUE(WriteFileAtomically(file, Bytes("again")));
  EXPECT_EQ(ReadText(file), "again");
  EXPECT_THAT(Names(scratch.path()), UnorderedElementsAre("state.json"));
}

TEST(AtomicFile, FailureSaysWhyAndKeepsTheOldFile) {
  testing::ScratchDir scratch;
  std::string why;
  EXPECT_FALSE(WriteFileAtomically(scratch.path() / "missing" / "p.json", Bytes("x"), &why));
  EXPECT_THAT(why, HasSubstr("No such file or directory"));
  EXPECT_FALSE(CanWriteFileAtomically(scratch.path() / "missing" / "p.json", &why));
  EXPECT_THAT(why, HasSubstr("missing"));

  const fs::path folder = scratch.path() / "folder";
  fs::create_directory(folder);
  EXPECT_FALSE(CanWriteFileAtomically(folder, &why));
  EXPECT_FALSE(WriteFileAtomically(folder, Bytes("x"), &why));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(CanWriteFileAtomically(scratch.path() / "p.json", &why)) << why;
  EXPECT_THAT(Names(scratch.path()), UnorderedElementsAre("folder"));
}

TEST(AtomicFile, ALockedReplaceGoesByTheSecondNameAndLeavesNoOther) {
  testing::ScratchDir scratch;
  const fs::path file = scratch.path() / "settings.json";
  const fs::path second = scratch.path() / "settings.json.lock";
  {
    file_ops::ExclusiveLock held(WriterLock(file));
    ASSERT_TRUE(held.ok()) << held.error();
    ASSERT_TRUE(ReplaceLockedFile(file, Bytes("first")));  // straight into place
    EXPECT_FALSE(fs::exists(second));
    ASSERT_TRUE(ReplaceLockedFile(file, Bytes("second")));
    EXPECT_EQ(ReadText(second), "first");  // the text replaced
    std::ofstream(second) << "a text a killed writer never put in place";
    ASSERT_TRUE(ReplaceLockedFile(file, Bytes("third")));
  }
  EXPECT_EQ(ReadText(file), "third");
  EXPECT_THAT(Names(scratch.path()), UnorderedElementsAre("settings.json", "settings.json.lock"));

  const fs::path folder = scratch.path() / "folder";
  fs::create_directory(folder);
  std::string why;
  EXPECT_FALSE(ReplaceLockedFile(folder, Bytes("x"), &why));
  EXPECT_THAT(why, HasSubstr("is a folder"));
  EXPECT_TRUE(fs::is_directory(folder));
}

TEST(AtomicFile, StaleTemporariesOfGoneWritersAreRemoved) {
  testing::ScratchDir scratch;
  const fs::path file = scratch.path() / "settings.json";
  auto make = [&](const std::string& name) { std::ofstream(scratch.path() / name) << "x"; };
  const std::string dead = "settings.json.tmp" + std::to_string(DeadPid());
  const std::string mine = "settings.json.tmp" + std::to_string(getpid());
  const std::string parent = "settings.json.tmp" + std::to_string(getppid());
  make(dead);
  make(mine);
  make(parent);
  make("settings.json.tmpx12");
  make("other.json.tmp1");
  RemoveStaleTemporaries(file);
  EXPECT_THAT(Names(scratch.path()),
              UnorderedElementsAre(mine, parent, "settings.json.tmpx12", "other.json.tmp1"));
}

}  // namespace
}  // namespace tarvo
