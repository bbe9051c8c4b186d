#include "station/rom_viewer_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "model/destinations.h"
#include "station/station_settings.h"
#include "testing/device_rig.h"
#include "testing/station_folder.h"

namespace tarvo::station {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ViewerTest : ::testing::Test {
  ViewerTest() {
    auto& e = rig.printer.eeprom();
    std::memcpy(&e[kModelNameOffset], "031", 3);
    std::memcpy(&e[kUsbSerialNoOffset], "BLTPC0412011230456", 18);
    std::memcpy(&e[kHeadIdOffset], "AB12CD", 6);
    e[kMs1AdjustOffset] = 0xFE;  // -2
    e[kTofAdjustOffset] = 3;
    e[kModelNumberOffset] = 1;
    e[kFtFlagOffset] = 1;
    page.Initialise();
  }

  // The wire log but for the link's opens and closes.
  std::vector<std::string> Transfers() const {
    std::vector<std::string> out;
    for (const auto& line : rig.wire_lines.lines()) {
      if (!line.starts_with("O ") && line != "C") out.push_back(line);
    }
    return out;
  }

  testing::DeviceRig rig;
  testing::StationFolder folder{rig.ctx};
  StationData data;
  int checks = 0;
  bool check_passes = true;
  HeadBlock checked{};
  RomViewerPage page{rig.ctx, rig.link, data,
                     [this](const HeadBlock& block, ChartLabel& chart_label) {
                       ++checks;
                       checked = block;
                       if (check_passes) chart_label.jig_no = {'C', 'T'};
                       return check_passes;
                     }};
};

TEST_F(ViewerTest, AfterStartUpTheFirstListIsShown) {
  EXPECT_THAT(RomViewerPage::DropDownTexts(), ElementsAre("OOB ", "QRE ", "Product Line"));
  EXPECT_EQ(page.drop_down_index(), 0);
  EXPECT_EQ(page.drop_down_text(), "OOB ");
  ASSERT_EQ(page.entries().size(), 16u);
  EXPECT_EQ(page.entries().front(), " 1. Read ROM Data");
  EXPECT_EQ(page.entries()[1], " 2. -------------------------------");
  EXPECT_EQ(page.entries()[2], "     2-1. Nozzle-Cleanning CL1/  Print Nozzle Check");
  EXPECT_EQ(page.entries().back(), " 8. Set Shippment State");
  EXPECT_TRUE(
      std::all_of(page.summary().begin(), page.summary().end(), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(page.display().head_id, "");
  EXPECT_EQ(page.display().ink_charge, 0);
}

TEST_F(ViewerTest, EachChoiceFillsItsListAndTypingEmptiesIt) {
  page.Choose(1);
  ASSERT_EQ(page.entries().size(), 16u);
  EXPECT_EQ(page.entries().back(), " 8. Set Experiment State");
  page.Choose(2);
  EXPECT_THAT(page.entries(),
              ElementsAre(" 1. Read ROM Data", " 2. Update FW", " 3. Set Initial Value",
                          " 4. Set FT Flag", " 5. Set Init Flag"));
  page.EditDropDownText("Product");
  EXPECT_THAT(page.entries(), IsEmpty());
  EXPECT_EQ(page.drop_down_text(), "Product");
  page.Choose(0);
  EXPECT_EQ(page.entries().size(), 16u);
  page.Choose(3);
  EXPECT_THAT(page.entries(), IsEmpty());
}

TEST_F(ViewerTest, ReadRomDataInProductLineShowsTheRecordWithCountsZero) {
  data.chart_label.ink_charges = 5;
  data.chart_label.nozzle_cleanings = 7;
  page.Choose(2);
  PageRun run = page.DoubleClick(0);
  EXPECT_TRUE(run.ran());
  EXPECT_TRUE(run.outcome.ok());
  EXPECT_EQ(checks, 0);  // no customer check in this list
  const ViewerDisplay& d = page.display();
  EXPECT_EQ(d.customer_setting, "031");
  EXPECT_EQ(d.usb_id, "BLTPC0412011230456");
  EXPECT_EQ(d.head_id, "AB12CD");
  EXPECT_EQ(d.model, "TR-420");
  EXPECT_EQ(d.ms1, -2);
  EXPECT_EQ(d.tof, 3);
  EXPECT_EQ(d.ft_flag, 1);
  EXPECT_EQ(d.ink_charge, 0);
  EXPECT_EQ(d.nozzle_cleaning, 0);
  EXPECT_EQ(data.chart_label.ink_charges, 0);
  EXPECT_EQ(data.chart_label.nozzle_cleanings, 0);
  EXPECT_FALSE(rig.link.is_open());
}

TEST_F(ViewerTest, ReadRomDataChecksTheCustomerWithTheReadBlock) {
  PageRun run = page.DoubleClick(0);
  EXPECT_TRUE(run.outcome.ok());
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(std::string(checked.begin(), checked.begin() + 3), "031");
  EXPECT_EQ(std::string(data.read_block.begin(), data.read_block.begin() + 3),
            "031");  // the shared read block
  EXPECT_EQ(std::string(data.chart_label.jig_no.begin(), data.chart_label.jig_no.end()), "CT");
  EXPECT_EQ(page.display().head_id, "AB12CD");
}

TEST_F(ViewerTest, AFailedCustomerCheckLeavesTheDisplayAsItWas) {
  data.chart_label.nozzle_cleanings = 4;
  check_passes = false;
  PageRun run = page.DoubleClick(0);
  EXPECT_FALSE(run.outcome.ok());
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(page.display().head_id, "");  // not refreshed
  EXPECT_EQ(page.display().nozzle_cleaning, 0);
  // The record was read and holds the counts, cleared by the read.
  EXPECT_EQ(page.summary()[summary::kHeadId], 'A');
  EXPECT_EQ(SummaryInt(page.summary(), summary::kNozzleCleaningCount), 0);
  EXPECT_EQ(data.chart_label.nozzle_cleanings, 0);
}

TEST_F(ViewerTest, TheSeparatorRefreshesWithoutReading) {
  page.Choose(2);
  page.DoubleClick(0);
  page.Choose(0);
  page.DoubleClick(6);  // "2-5. Nozzle-Cleanning CL1", counted in the shared label record
  EXPECT_EQ(data.chart_label.nozzle_cleanings, 1);
  EXPECT_EQ(page.display().nozzle_cleaning, 1);
  data.chart_label.ink_charges = 0xFE;  // counts are signed bytes
  std::memcpy(&rig.printer.eeprom()[kHeadIdOffset], "ZZ99ZZ", 6);
  rig.Forget();
  PageRun run = page.DoubleClick(1);
  EXPECT_EQ(run.kind, RunEnd::kNothing);
  EXPECT_THAT(Transfers(), IsEmpty());
  EXPECT_THAT(rig.wire_lines.lines(), ElementsAre("O PIPE00 ok", "O PIPE01 ok", "C"));
  EXPECT_EQ(page.display().head_id, "AB12CD");  // the old identity, the new counts
  EXPECT_EQ(page.display().ink_charge, -2);
  EXPECT_EQ(page.display().nozzle_cleaning, 1);
}

TEST_F(ViewerTest, OffLineChangesNothingOnThePage) {
  page.Choose(2);
  page.DoubleClick(0);
  ViewerDisplay before = page.display();
  RomSummary record = page.summary();
  data.chart_label.nozzle_cleanings = 9;
  rig.printer.faults().absent = true;
  rig.Forget();
  page.Choose(0);
  PageRun run = page.DoubleClick(0);
  EXPECT_TRUE(run.offline());
  EXPECT_THAT(rig.MessageTexts(), ElementsAre("ERROR: Print Off line !!"));
  EXPECT_EQ(page.summary(), record);
  EXPECT_EQ(page.display().nozzle_cleaning, before.nozzle_cleaning);
  EXPECT_EQ(data.chart_label.nozzle_cleanings, 9);
  EXPECT_EQ(checks, 0);
}

TEST_F(ViewerTest, AReadThatFailsNeitherChecksNorShowsTheLastPrinter) {
  page.Choose(2);
  page.DoubleClick(0);
  data.chart_label.ink_charges = 3;
  rig.printer.faults().silent = true;
  page.Choose(0);
  PageRun run = page.DoubleClick(0);
  EXPECT_FALSE(run.outcome.ok());
  EXPECT_EQ(checks, 0);
  EXPECT_EQ(data.chart_label.ink_charges, 3);
  EXPECT_EQ(page.display().ink_charge, 0);  // not refreshed
  EXPECT_EQ(SummaryInt(page.summary(), summary::kInkChargeCount), 3);
}

TEST_F(ViewerTest, ChartsPrintTheSharedWorkingBlockAndLabelRecord) {
  folder.Write("I_S17_1.prn", 100);
  folder.Write("I_S17_2.prn", 100);
  std::memcpy(data.working_block.data(), "031", 3);
  page.DoubleClick(12);  // " 5. Print Post Card": chart 3
  EXPECT_EQ(data.chart_label.chart_prints, 1);
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  EXPECT_FALSE(rig.link.is_open());
}

TEST_F(ViewerTest, EntriesOutsideTheListRunNothing) {
  page.Choose(2);
  EXPECT_EQ(page.DoubleClick(5).kind, RunEnd::kNothing);
  EXPECT_EQ(page.DoubleClick(std::nullopt).kind, RunEnd::kNothing);
  page.EditDropDownText("x");
  EXPECT_EQ(page.DoubleClick(0).kind, RunEnd::kNothing);
  EXPECT_THAT(Transfers(), IsEmpty());
}

TEST_F(ViewerTest, ReadRomDataWithTheStationTwoSettings) {
  StationFiles files(folder.path());
  RomViewerPage station_page{rig.ctx, rig.link, data,
                             [&](const HeadBlock& block, ChartLabel& chart_label) {
                               return CheckCustomer(rig.ctx, files, block, chart_label).ok();
                             }};
  station_page.Initialise();
  // A fresh station is set to the first row, "001": the printer's "031" does not match.
  station_page.DoubleClick(0);
  EXPECT_THAT(rig.MessageTexts(),
              ElementsAre("ERROR: Customer Setting Error !!\nROM: 031\nStation 2: 001"));
  EXPECT_EQ(station_page.display().head_id, "");

  int row = 0;
  while (Destinations()[row].code != "031") ++row;
  ASSERT_TRUE(files.WriteStation2({static_cast<uint8_t>(row), '0', '7'}));
  rig.Forget();
  station_page.DoubleClick(0);
  EXPECT_THAT(rig.MessageTexts(), IsEmpty());
  EXPECT_EQ(station_page.display().head_id, "AB12CD");
  EXPECT_EQ(std::string(data.chart_label.jig_no.begin(), data.chart_label.jig_no.end()), "07");
}

}  // namespace
}  // namespace tarvo::station

namespace tarvo::station {
namespace {

TEST(ViewerFields, TheIntegersSitInAdjustmentValueAndTheFlagsInFlag) {
  std::vector<int> identity, adjustment, flags;
  for (const ViewerField& f : FieldsOf(ViewerDisplay{})) {
    EXPECT_EQ(f.text.has_value(), f.group == ViewerGroup::kNone) << f.label;
    auto& ids = f.group == ViewerGroup::kNone              ? identity
                : f.group == ViewerGroup::kAdjustmentValue ? adjustment
                                                           : flags;
    ids.push_back(f.id);
  }
  EXPECT_THAT(identity, ElementsAre(1296, 1297, 1298, 1299, 1302));
  EXPECT_THAT(adjustment, ElementsAre(1185, 1303, 1094, 1300, 1259, 1260, 1262, 1263));
  EXPECT_THAT(flags, ElementsAre(1301, 1279));
  EXPECT_EQ(GroupCaption(ViewerGroup::kAdjustmentValue), "Adjustment Value");
  EXPECT_EQ(GroupCaption(ViewerGroup::kFlag), "Flag");
  EXPECT_EQ(GroupCaption(ViewerGroup::kNone), "");
}

}  // namespace
}  // namespace tarvo::station
