#include "runtime/station_dir.h"

#include <gtest/gtest.h>

#include "testing/scratch_dir.h"

namespace tarvo::runtime {
namespace {

TEST(StationDir, EmptyIsTheCurrentDirectoryAndNamesBecomeAbsolute) {
  std::string error;
  EXPECT_EQ(StationDir("", &error), std::filesystem::current_path());
  testing::ScratchDir dir;
  const auto given = StationDir(dir.path().string() + "/.", &error);
  ASSERT_TRUE(given);
  EXPECT_TRUE(given->is_absolute());
  EXPECT_TRUE(std::filesystem::equivalent(*given, dir.path()));
}

TEST(StationDir, AMissingFolderOrAFileIsRefused) {
  testing::ScratchDir dir;
  std::string error;
  EXPECT_FALSE(StationDir(dir.File("missing"), &error));
  EXPECT_NE(error.find("missing"), std::string::npos);
  const std::string file = dir.File("file");
  {
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fclose(f);
  }
  EXPECT_FALSE(StationDir(file, &error));
}

}  // namespace
}  // namespace tarvo::runtime
