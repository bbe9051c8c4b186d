#include "station/dot_weight_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "model/rom_layout.h"
#include "testing/device_rig.h"
#include "testing/station_folder.h"

namespace tarvo::station {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct DotWeightTest : ::testing::Test {
  testing::DeviceRig rig;
  testing::StationFolder folder{rig.ctx};
  DotWeightPage page{rig.ctx, rig.link};

  void Answer(std::initializer_list<const char*> lines) {
    for (const char* line : lines) rig.op.QueueDialogLine(line);
  }
  // Types the two weights and presses "Measure".
  void Weigh(const char* before, const char* after) {
    rig.op.QueueDialog([=](DialogModel& d) {
      d.control(MeasureResultDialog::kBeforeId)->text = before;
      d.control(MeasureResultDialog::kAfterId)->text = after;
      return MeasureResultDialog::kMeasureId;
    });
  }
  bool AnythingWritten() const {
    for (const auto& line : rig.wire_lines.lines()) {
      if (line.starts_with("W")) return true;
    }
    return false;
  }
};

TEST_F(DotWeightTest, CleaningIsOneCl1CleaningInItsOwnFrame) {
  PageRun run = page.Clean();
  EXPECT_TRUE(run.ran());
  EXPECT_TRUE(run.outcome.ok());
  EXPECT_THAT(rig.Traffic(), Contains("REMOTE CH 3"));
  EXPECT_THAT(rig.Traffic(), Contains("wait 10000"));
  EXPECT_THAT(rig.op.events(), Contains("window+ Printer Busy"));
  EXPECT_FALSE(rig.link.is_open());
}

TEST_F(DotWeightTest, CleaningOffLineSendsNothing) {
  rig.printer.faults().absent = true;
  PageRun run = page.Clean();
  EXPECT_TRUE(run.offline());
  EXPECT_THAT(rig.MessageTexts(), ElementsAre("ERROR: Print Off line !!"));
  EXPECT_FALSE(AnythingWritten());
}

TEST_F(DotWeightTest, NozzleCheckSendsTheSecondFileOnlyAfterTheFirst) {
  folder.Write("I_NC_1.prn", 700);
  folder.Write("I_NC_2.prn", 300);
  EXPECT_TRUE(page.PrintNozzleCheck().outcome.ok());
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  EXPECT_EQ(rig.printer.printouts()[0].files[0].size, 1000u);  // one stream, no header between
  EXPECT_FALSE(rig.link.is_open());

  rig.Forget();
  folder.Remove("I_NC_1.prn");
  EXPECT_FALSE(page.PrintNozzleCheck().outcome.ok());
  EXPECT_EQ(rig.op.messages().size(), 1u);        // the file error, once
  EXPECT_EQ(rig.printer.printouts().size(), 1u);  // nothing more printed
  EXPECT_FALSE(rig.link.is_open());
}

TEST_F(DotWeightTest, MeasurementsOfTheWorkedExample) {
  Weigh("25", "23.5");
  Answer({"exit"});
  EXPECT_EQ(page.Measure(MeasureKind::kMono), DialogResult::kOk);
  EXPECT_EQ(rig.op.dialogs_shown(), std::vector<int>{202});
  const MeasureResultDialog* mono = page.last_measurement();
  EXPECT_EQ(mono->caption(), "Mono Measure");
  EXPECT_EQ(page.dots(), 33'708'960);
  EXPECT_NEAR(mono->average, 44.4986, 5e-5);
  EXPECT_EQ(mono->test_result, "PASS");

  Weigh("25", "23.5");
  Answer({"exit"});
  page.Measure(MeasureKind::kColour);
  EXPECT_EQ(page.last_measurement()->caption(), "CMY Measure");
  EXPECT_EQ(page.dots(), 31'602'150);
  EXPECT_NEAR(page.last_measurement()->average, 47.4651, 5e-5);
  EXPECT_EQ(page.last_measurement()->test_result, "PASS");

  // Each measurement starts from the initial values.
  Answer({"measure", "exit"});
  page.Measure(MeasureKind::kMono);
  EXPECT_EQ(page.last_measurement()->before_weight, 0);
  EXPECT_EQ(page.last_measurement()->average, 0);
  EXPECT_EQ(page.last_measurement()->test_result, "FAIL");
  EXPECT_TRUE(rig.wire_lines.lines().empty());  // no printer work without Print File
}

TEST_F(DotWeightTest, EveryMeasureGoesOnRecordForThePrinterOnTheJig) {
  MemoryRecordSink sink;
  rig.ctx.records = &sink;
  // Another printer was seen last; the one on the jig is read as the dialog opens.
  sink.SetLastPrinter({"999", "OLD01", "OLD001"});
  std::copy_n("031", 3, rig.printer.eeprom().begin() + kModelNameOffset);
  std::copy_n("ABC01", 5, rig.printer.eeprom().begin() + kUsbSerialNoOffset);
  std::copy_n("AB12CD", 6, rig.printer.eeprom().begin() + kHeadIdOffset);
  folder.Write("CMYDot.prn", 100);
  // Two measurements in one showing, a print, one more after it; Reset and EXIT record nothing.
  Weigh("25", "23.5");
  Weigh("25", "24.5");
  Answer({"print file", "reset"});
  Weigh("25", "23.5");
  Answer({"exit"});
  page.Measure(MeasureKind::kColour);

  ASSERT_EQ(sink.dot_weights.size(), 3u);
  const DotWeightRecord& first = sink.dot_weights[0];
  EXPECT_EQ(first.kind, "CMY");
  EXPECT_THAT(first.weights, ElementsAre(25, 23.5));
  EXPECT_NEAR(first.average, 47.4651, 5e-5);
  EXPECT_EQ(first.low, MeasureResultDialog::kMinimum);
  EXPECT_EQ(first.high, MeasureResultDialog::kMaximum);
  EXPECT_TRUE(first.passed);
  EXPECT_EQ(first.printer.model_code, "031");
  EXPECT_EQ(first.printer.usb_serial, "ABC01");
  EXPECT_EQ(first.printer.head_id, "AB12CD");
  EXPECT_FALSE(first.time.empty());
  EXPECT_THAT(sink.dot_weights[1].weights, ElementsAre(25, 24.5));
  EXPECT_FALSE(sink.dot_weights[1].passed);
  EXPECT_TRUE(sink.dot_weights[2].passed);
  // Measured before the print, recorded before it: the time is that of the first showing's end.
  EXPECT_LE(sink.dot_weights[0].time, sink.dot_weights[2].time);
  EXPECT_THAT(sink.steps, IsEmpty());
}

TEST_F(DotWeightTest, PrintFileSendsTheDotFileThreeTimesAMinuteApart) {
  folder.Write("CMYDot.prn", 2000);
  Answer({"print file", "exit"});
  page.Measure(MeasureKind::kColour);
  EXPECT_THAT(rig.clock.sleeps(), ElementsAre(60'000, 60'000, 60'000));
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  EXPECT_EQ(rig.printer.printouts()[0].files[0].size, 3 * 2000u);
  EXPECT_FALSE(rig.link.is_open());
}

TEST_F(DotWeightTest, PrintFileWithTheDotFileMissing) {
  Answer({"print file", "exit"});
  page.Measure(MeasureKind::kMono);
  EXPECT_EQ(rig.op.messages().size(), 1u);  // the file error, once
  EXPECT_TRUE(rig.clock.sleeps().empty());  // no 60 s wait
  EXPECT_TRUE(rig.printer.printouts().empty());
  EXPECT_FALSE(rig.link.is_open());
  const auto& wire = rig.wire_lines.lines();
  ASSERT_FALSE(wire.empty());
  EXPECT_EQ(wire.back(), "C");
}

TEST_F(DotWeightTest, PrintFileOffLineSendsNothing) {
  folder.Write("KDot.prn", 100);
  rig.printer.faults().absent = true;
  Answer({"print file", "exit"});
  page.Measure(MeasureKind::kMono);
  EXPECT_THAT(rig.MessageTexts(), ElementsAre("ERROR: Print Off line !!"));
  EXPECT_TRUE(rig.printer.printouts().empty());
  EXPECT_THAT(rig.clock.sleeps(), Contains(1000));  // only the open's retries
}

}  // namespace
}  // namespace tarvo::station
