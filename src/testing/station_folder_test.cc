#include "testing/station_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "charts/chart_table.h"
#include "testing/device_rig.h"

namespace tarvo::testing {
namespace {

namespace fs = std::filesystem;

TEST(StationFolderTest, HoldsEveryChartAndIsTheContextsStationFolderWhereverTheProcessIs) {
  const fs::path before = fs::current_path();
  DeviceRig rig;
  fs::path made;
  {
    StationFolder folder(rig.ctx);
    made = folder.path();
    EXPECT_EQ(rig.ctx.station_dir, folder.path());
    for (const Chart& chart : kCharts) {
      EXPECT_EQ(fs::file_size(folder.path() / chart.first_file), StationFolder::kFirstFileSize);
      EXPECT_EQ(fs::file_size(folder.path() / chart.second_file), StationFolder::kSecondFileSize);
    }
    EXPECT_EQ(rig.ctx.StationPath("I_NC_1.prn"), folder.File("I_NC_1.prn"));
    EXPECT_EQ(fs::current_path(), before);
  }
  EXPECT_FALSE(fs::exists(made));
  EXPECT_EQ(fs::current_path(), before);
}

TEST(StationFolderTest, WriteReplacesAFileWholeAndRemoveTakesOnlyThatOne) {
  StationFolder folder;
  folder.Write("I_NC_1.prn", 700);
  EXPECT_EQ(fs::file_size(folder.path() / "I_NC_1.prn"), 700u);
  folder.Write("KDot.prn", 0);
  EXPECT_TRUE(fs::is_regular_file(folder.path() / "KDot.prn"));
  folder.Remove("I_NC_1.prn");
  EXPECT_FALSE(fs::exists(folder.path() / "I_NC_1.prn"));
  EXPECT_TRUE(fs::exists(folder.path() / "I_NC_2.prn"));
}

}  // namespace
}  // namespace tarvo::testing
