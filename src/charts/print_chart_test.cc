#include "charts/print_chart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "charts/chart_table.h"
#include "testing/device_rig.h"
#include "testing/station_folder.h"

namespace tarvo {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct PrintChartTest : ::testing::Test {
  explicit PrintChartTest(const Edition& edition = kProgramEdition) : rig(edition) {
    EXPECT_TRUE(rig.Open());
    rig.Forget();
    head.fill(0);
    std::memcpy(head.data(), "031", 3);
    label = ChartLabel{};
  }
  testing::DeviceRig rig;
  testing::StationFolder folder{rig.ctx};
  DeviceState state;
  HeadBlock head;
  ChartLabel label;
};

struct LibraryPrintChartTest : PrintChartTest {
  LibraryPrintChartTest() : PrintChartTest(kLibraryEdition) {}
};

TEST_F(PrintChartTest, TofChartPrintsItsFileTheHeaderAndTheNozzleCheckFile) {
  PrintChart(rig.ctx, rig.link, state, head, label, kTofChart);
  rig.link.HandleClose();
  EXPECT_EQ(label.chart_prints, 1);
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  const auto& printout = rig.printer.printouts()[0];
  EXPECT_EQ(printout.Outline(), "file header file");
  EXPECT_EQ(printout.files[0].size, 5000u);
  EXPECT_EQ(printout.files[1].size, 3000u);
  EXPECT_THAT(printout.header_lines[0], HasSubstr("Program:0077"));
  EXPECT_THAT(printout.header_lines[0], HasSubstr("ST=25"));

  auto traffic = rig.Traffic();
  ASSERT_GE(traffic.size(), 3u);
  EXPECT_EQ(traffic[0], "J(0,1)");
  EXPECT_EQ(traffic[1], "REMOTE ST 0");  // the program's preamble before "T"
  EXPECT_EQ(traffic[2], "T");
  EXPECT_EQ(traffic.back(), "wait 10000");
  EXPECT_THAT(rig.op.events().front(), HasSubstr("window+ Printer Busy"));
  EXPECT_EQ(rig.op.events().back(), "window-");
}

TEST_F(PrintChartTest, ChartBeyondTheTableCountsAndAsksButPrintsNothing) {
  PrintChart(rig.ctx, rig.link, state, head, label, 19);
  EXPECT_EQ(label.chart_prints, 1);
  EXPECT_THAT(rig.Traffic(), Contains("J(0,1)"));
  EXPECT_THAT(rig.Traffic(), Contains("T"));
  ASSERT_EQ(rig.op.messages().size(), 1u);
  EXPECT_EQ(rig.op.messages()[0].text, "Open File Error !! !!");
  EXPECT_TRUE(rig.printer.printouts().empty());
  EXPECT_TRUE(rig.clock.sleeps().empty());
  EXPECT_FALSE(rig.op.window_open());
}

TEST_F(PrintChartTest, PrintCountWrapsAndAMissingSecondFileSkipsOnlyTheWait) {
  label.chart_prints = 255;
  folder.Remove("I_NC_2.prn");
  PrintChart(rig.ctx, rig.link, state, head, label, kNozzleCheckChart);
  EXPECT_EQ(label.chart_prints, 0);
  rig.link.HandleClose();
  EXPECT_EQ(rig.printer.printouts()[0].Outline(), "file header");
  EXPECT_THAT(rig.printer.printouts()[0].header_lines[0], HasSubstr("[No.     ][   00 00 00]"));
  EXPECT_TRUE(rig.clock.sleeps().empty());
}

// A folder or an empty file in a chart file's place is told as the file it is, and the chart
// fails; before, the folder came out as a write error and the empty file as printed.
TEST_F(PrintChartTest, ChartFileThatIsAFolderOrEmptyIsToldAsAnOpenError) {
  folder.Remove("I_NC_1.prn");
  std::filesystem::create_directory(folder.path() / "I_NC_1.prn");
  EXPECT_FALSE(PrintChart(rig.ctx, rig.link, state, head, label, kNozzleCheckChart));
  folder.Write("I_TOF_1.prn", 0);
  EXPECT_FALSE(PrintChart(rig.ctx, rig.link, state, head, label, kTofChart));

  ASSERT_EQ(rig.op.messages().size(), 2u);
  EXPECT_EQ(rig.op.messages()[0].text, "Open File Error !! I_NC_1.prn!! (a folder)");
  EXPECT_EQ(rig.op.messages()[0].caption, "Open File");
  EXPECT_EQ(rig.op.messages()[1].text, "Open File Error !! I_TOF_1.prn!! (empty file)");
  EXPECT_TRUE(rig.printer.printouts().empty());
  EXPECT_TRUE(rig.clock.sleeps().empty());
}

TEST_F(LibraryPrintChartTest, LibraryHeaderCarriesFirmwareVersionTextAndInkValues) {
  rig.printer.eeprom()[kUnplugAccumulationOffset] = 24;
  rig.printer.eeprom()[kTclConditionOffset] = 3;
  PrintChart(rig.ctx, rig.link, state, head, label, kNozzleCheckChart);
  state.library_version = "B123";
  PrintChart(rig.ctx, rig.link, state, head, label, kNozzleCheckChart);
  rig.link.HandleClose();

  EXPECT_EQ(rig.Traffic()[0], "READ(0,128)");
  ASSERT_EQ(rig.printer.printouts().size(), 2u);
  const auto& first = rig.printer.printouts()[0].header_lines;
  const auto& second = rig.printer.printouts()[1].header_lines;
  EXPECT_THAT(first[0], HasSubstr("FW/FT=0073/A080"));
  EXPECT_THAT(second[0], HasSubstr("FW/FT=0073/B123"));
  EXPECT_THAT(first[1], HasSubstr("TOP= 0 TCL=24/03"));
}

TEST_F(PrintChartTest, MeasurementFileIsPrintedThreeTimesWithAMinuteAfterEach) {
  rig.link.HandleClose();
  EXPECT_TRUE(PrintMeasurementFile(rig.ctx, rig.link, "I_NC_1.prn"));
  EXPECT_THAT(rig.clock.sleeps(), ElementsAre(60'000, 60'000, 60'000));
  EXPECT_FALSE(rig.link.is_open());
  // Back to back, the three sends reach the printer as one stream of print data.
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  EXPECT_EQ(rig.printer.printouts()[0].files[0].size, 3 * 5000u);

  rig.Forget();
  EXPECT_FALSE(PrintMeasurementFile(rig.ctx, rig.link, "KDot.prn"));
  EXPECT_TRUE(rig.clock.sleeps().empty());
  EXPECT_FALSE(rig.link.is_open());
}

TEST_F(PrintChartTest, NozzleCheckPrintSendsBothFilesWithoutHeader) {
  rig.link.HandleClose();
  EXPECT_TRUE(PrintNozzleCheck(rig.ctx, rig.link));
  EXPECT_FALSE(rig.link.is_open());
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  EXPECT_EQ(rig.printer.printouts()[0].Outline(), "file");
  EXPECT_EQ(rig.printer.printouts()[0].files[0].size, 5000u + 3000u);
}

}  // namespace
}  // namespace tarvo
