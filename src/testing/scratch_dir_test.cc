#include "testing/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tarvo::testing {
namespace {

namespace fs = std::filesystem;

TEST(ScratchDirTest, EachIsAFreshEmptyFolderGoneWithAllItHolds) {
  fs::path first_path;
  {
    ScratchDir first;
    ScratchDir second;
    first_path = first.path();
    EXPECT_NE(first.path(), second.path());
    EXPECT_TRUE(first.path().string().starts_with((fs::temp_directory_path() / "").string()));
    ASSERT_TRUE(fs::is_directory(first.path()));
    EXPECT_TRUE(fs::is_empty(first.path()));
    fs::create_directory(first.path() / "inner");
    std::ofstream(first.path() / "inner" / "file") << "data";
    EXPECT_EQ(first.File("inner"), (first.path() / "inner").string());
  }
  EXPECT_FALSE(fs::exists(first_path));
}

TEST(ScratchDirTest, WhereNoneCanBeMadeItThrowsAndRemovesNothing) {
  ScratchDir outer;
  std::ofstream(outer.path() / "plain") << "not a folder";
  std::ofstream(outer.path() / "kept") << "data";
  EXPECT_THROW(ScratchDir(outer.path() / "plain"), std::runtime_error);
  EXPECT_THROW(ScratchDir(outer.path() / "missing"), std::runtime_error);
  // Nothing of the parent is taken for the scratch folder, nor removed with it.
  EXPECT_TRUE(fs::is_regular_file(outer.path() / "plain"));
  EXPECT_TRUE(fs::is_regular_file(outer.path() / "kept"));
}

TEST(ScratchDirTest, AFolderWithinAnotherIsMadeThere) {
  ScratchDir outer;
  {
    ScratchDir inner(outer.path());
    EXPECT_EQ(inner.path().parent_path(), outer.path());
  }
  EXPECT_TRUE(fs::is_empty(outer.path()));
}

}  // namespace
}  // namespace tarvo::testing
