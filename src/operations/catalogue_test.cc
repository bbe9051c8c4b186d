#include "operations/catalogue.h"

#include <gtest/gtest.h>

#include "testing/sim_fixture.h"

namespace tarvo {
namespace {

// The catalogue works on the station's run-time data: what a front end hands it is what the
// operations read and change.
struct Catalogue : SimFixture {
  StationData station;
};

TEST_F(Catalogue, ReadsGoIntoTheStationsReadBlock) {
  printer.eeprom()[kHeadIdOffset] = 'Q';
  EXPECT_TRUE(catalogue::ReadData(ctx, link, station));
  EXPECT_EQ(station.read_block[kHeadIdOffset], 'Q');
  EXPECT_EQ(station.working_block, HeadBlock{});

  printer.faults().silent = true;
  station.read_block.fill(7);
  EXPECT_FALSE(catalogue::ReadData(ctx, link, station).achieved());
  EXPECT_EQ(station.read_block[0], 7);  // kept as it was
}

TEST_F(Catalogue, CountsGoIntoTheStationsChartLabelRecord) {
  EXPECT_TRUE(catalogue::NozzleClean(ctx, link, station, 1));
  EXPECT_TRUE(catalogue::NozzleClean(ctx, link, station, 2));
  EXPECT_EQ(station.chart_label.nozzle_cleanings, 2);
  // A chart whose files are missing is still counted, and fails.
  Outcome printed = catalogue::PrintChart(ctx, link, station, station.working_block, 99);
  EXPECT_EQ(printed.kind, OutcomeKind::kNotDone);
  EXPECT_EQ(station.chart_label.chart_prints, 1);
}

TEST_F(Catalogue, TheProgramWritesTheHeadIdFromItsWorkingBlock) {
  op.QueueDialogLine("enter AB12CD");
  Outcome written = catalogue::SetHeadID(ctx, link, station);
  EXPECT_TRUE(written) << written.step;
  EXPECT_EQ(station.working_block[kHeadIdOffset], 'A');
  EXPECT_EQ(station.read_block, station.working_block);
  EXPECT_EQ(printer.eeprom()[kHeadIdOffset + 5], 'D');
}

}  // namespace
}  // namespace tarvo
