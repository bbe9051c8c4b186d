// A whole station run driven by the real step runner, kept in the machine's records file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "records/local_store.h"
#include "records/record_keeper.h"
#include "station/station_test_rig.h"
#include "testing/scratch_dir.h"

namespace tarvo::records {
namespace {

JournalEntry Entry(const std::string& operation) {
  JournalEntry entry;
  entry.operation = operation;
  return entry;
}

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using station::PositionOf;
using station::StepAction;

const Origin kOrigin{"station-b", "0.1.0", "program"};

struct StationRecordsTest : ::testing::Test, station::StationRig {
  StationRecordsTest() { ctx.records = &keeper; }
  std::string File() const { return scratch.File("records.sqlite"); }

  tarvo::testing::ScratchDir scratch;
  RecordKeeper keeper{{File(), "", kOrigin, {}, 60'000}, clock};
};

TEST_F(StationRecordsTest, RunnerDrivenRunOfBothStationsLandsInTheFileStepByStep) {
  RunToDischarge();
  AnswerDischarge();
  runner.Run(PositionOf(StepAction::kInkDischarge));
  // The printer gone: the next double-click leaves nothing in the file.
  printer.faults().absent = true;
  runner.Run(PositionOf(StepAction::kChargeAndCheck));

  // Read back as another process would.
  LocalStore store;
  ASSERT_TRUE(store.Open(File()));
  std::vector<StoredStep> steps = store.Steps();
  ASSERT_EQ(steps.size(), 7u);
  const PrinterIdentity identity = steps[1].record.printer;
  EXPECT_EQ(identity.head_id, "AB12CD");
  EXPECT_EQ(identity.model_code, "001");
  std::vector<std::pair<int, int>> where;
  for (const StoredStep& s : steps) {
    where.emplace_back(s.record.station, s.record.position);
    // Each step names its station and the folder's settings as they stand, whichever station.
    Origin origin = kOrigin;
    origin.station = {s.record.station, "AB1", "Z9", "07"};
    EXPECT_EQ(s.origin, origin);
    EXPECT_FALSE(s.sent);
    if (s.record.station == 2) {
      EXPECT_EQ(s.record.printer, identity) << s.record.text;
    }
  }
  EXPECT_THAT(where, ElementsAre(std::pair(1, 0), std::pair(1, 1), std::pair(2, 0), std::pair(2, 4),
                                 std::pair(2, 13), std::pair(2, 19), std::pair(2, 26)));
  EXPECT_TRUE(steps[0].record.printer.empty());  // the grease reads nothing of the printer
  EXPECT_THAT(steps[1].record.slot_results, ElementsAre(SlotResult{1, "Head ID", 1}));
  EXPECT_EQ(steps[1].record.settings, (StationSettingsRecord{"001", "AB1", "Z9", ""}));
  EXPECT_EQ(steps[4].record.slot_results.size(), 5u);  // TOF and the four Bi-d modes
  EXPECT_EQ(steps[4].record.settings, (StationSettingsRecord{"001", "", "", "07"}));
  EXPECT_THAT(steps[6].record.slot_results, ElementsAre(SlotResult{8, "DisCharge", 1}));
  EXPECT_EQ(steps[6].record.total, 1);
  EXPECT_EQ(steps[5].record.total, 2);

  // The printer's whole history by its serial number, the journal with it.
  EXPECT_EQ(store.Steps({identity.usb_serial, "", 2}).size(), 5u);
  std::vector<StoredJournal> journal = store.Journal(identity.usb_serial);
  ASSERT_FALSE(journal.empty());
  EXPECT_EQ(journal.front().record.operation, "SetHeadID");
  EXPECT_EQ(journal.back().record.operation, "InkDisCharge 1");
  EXPECT_EQ(journal.front().origin.station, (StationIdentity{1, "AB1", "Z9", "07"}));
  EXPECT_EQ(journal.back().origin.station, (StationIdentity{2, "AB1", "Z9", "07"}));
  EXPECT_EQ(store.Yield().size(), 2u);

  // After the run, a record (a service bench's) names no station.
  keeper.Record(Entry("SetHeadID"));
  EXPECT_EQ(store.Journal().back().origin.station, StationIdentity{});
}

TEST_F(StationRecordsTest, TheStationsIdentityIsReadAsItStandsWithoutMakingFiles) {
  // A Station 2 host that never had Station 1's file: the jig alone, and no file made.
  files.WriteStation2({0, 'C', 'T'});
  EXPECT_EQ(files.Identity(2), (StationIdentity{2, "", "", "CT"}));
  EXPECT_FALSE(std::filesystem::exists(files.PathOf("1.data")));
  files.WriteStation1({0, 'B', 0xE9, 'L', 'P', '1'});
  EXPECT_EQ(files.Identity(1), (StationIdentity{1, "B\u00e9L", "P1", "CT"}));
}

TEST_F(StationRecordsTest, OffLineRunLeavesNoFileBehind) {
  SetUpStations();
  runner.SelectStation(0);
  printer.faults().absent = true;
  EXPECT_EQ(runner.Run(PositionOf(StepAction::kInputHeadId)), station::RunEnd::kOffline);
  EXPECT_FALSE(std::filesystem::exists(File()));
}

}  // namespace
}  // namespace tarvo::records
