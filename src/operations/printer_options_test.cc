#include "operations/printer_options.h"

#include <gtest/gtest.h>

#include "model/destinations.h"

namespace tarvo {
namespace {

TEST(PrinterOptions, MissingValuesReadAsDefaults) {
  MemorySettingsStore store;
  EXPECT_EQ(ReadOffsetSettings(store), OffsetSettings{});
  InkSettings ink = ReadInkSettings(store);
  EXPECT_EQ(ink.disable_ink, 0);
  EXPECT_EQ(ink.cl2kk, 2);
  EXPECT_EQ(ink.tcl_cond, 3);
  EXPECT_EQ(ink.unplug_a, 24);
}

TEST(PrinterOptions, GroupsRoundTripWithTheirWidths) {
  MemorySettingsStore store;
  WriteOffsetSettings(store, {1, -3, 2, 0, 5, -1});
  WriteInkSettings(store, {1, 7, 200, 30});
  EXPECT_EQ(ReadOffsetSettings(store), (OffsetSettings{1, -3, 2, 0, 5, -1}));
  EXPECT_EQ(ReadInkSettings(store), (InkSettings{1, 7, 200, 30}));
  EXPECT_EQ(store.Read(kSelectPrinterKey, "MS1")->size(), 4u);
  EXPECT_EQ(store.Read(kSelectPrinterKey, "tclCond")->size(), 1u);
}

TEST(PrinterOptions, ValueOfWrongWidthKeepsTheDefault) {
  MemorySettingsStore store;
  const uint8_t two[] = {5, 0};
  store.Write(kSelectPrinterKey, "unplugA", two);
  store.Write(kSelectPrinterKey, "disable", two);
  EXPECT_EQ(ReadInkSettings(store).unplug_a, 24);
  EXPECT_EQ(ReadOffsetSettings(store).disable, 0);
}

TEST(PrinterOptions, TheTableNamesEachMemberOnceWithItsWidth) {
  EXPECT_EQ(PrinterOptions().size(), 10u);
  for (const PrinterOption& o : PrinterOptions()) {
    EXPECT_EQ(FindPrinterOption(o.name), &o);
    EXPECT_EQ(o.width, o.offset ? 4 : 1) << o.name;
    EXPECT_NE(o.offset == nullptr, o.ink == nullptr) << o.name;
  }
  EXPECT_EQ(FindPrinterOption("ms1"), nullptr);
  OffsetSettings offsets;
  offsets.*FindPrinterOption("TOF")->offset = 7;
  EXPECT_EQ(offsets.tof, 7);
}

TEST(Destinations, FourteenRowsAndGuardedLookup) {
  ASSERT_EQ(Destinations().size(), 14u);
  EXPECT_EQ(FindDestination(0)->text, "001 ; QAI ; TR-460");
  EXPECT_EQ(FindDestination(5)->code, "TBD");
  EXPECT_EQ(FindDestination(12)->model_number, 2);
  EXPECT_EQ(FindDestination(13)->text, "061 ; QKL Korea; 220V; TR-420");
  EXPECT_EQ(FindDestination(14), nullptr);
  EXPECT_EQ(FindDestination(-1), nullptr);
  for (const Destination& d : Destinations()) {
    EXPECT_EQ(d.code.size(), 3u);
    EXPECT_EQ(d.text.substr(0, 3), d.code);
  }
}

}  // namespace
}  // namespace tarvo
