#include "records/local_store.h"

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "records/record_keeper.h"
#include "records/schema.h"
#include "records/station_run_test.h"
#include "testing/scratch_dir.h"

namespace tarvo::records {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

const Origin kOrigin{"station-a", "0.1.0", "program"};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A records file of `steps` steps whose second page is overwritten with garbage.
void MakeDamagedFile(const std::string& path, int steps) {
  {
    LocalStore store;
    ASSERT_TRUE(store.Open(path)) << store.error();
    StepRecord step;
    step.text = std::string(200, 's');
    for (int i = 0; i < steps; ++i) {
      step.position = i;
      ASSERT_TRUE(store.Add(step, kOrigin));
    }
  }
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(4096);
  file << std::string(4096, '\xA5');
}

struct LocalStoreTest : ::testing::Test {
  LocalStoreTest() {
    RomImage& e = rig.printer.eeprom();
    e.fill(0);
    std::copy_n("031", 3, e.begin());
    rig.Open();
  }
  std::string File() const { return scratch.File("records.sqlite"); }
  RecordKeeper MakeKeeper() { return RecordKeeper({File(), "", kOrigin, {}, 60'000}, rig.clock); }

  tarvo::testing::ScratchDir scratch;
  tarvo::testing::DeviceRig rig;
};

TEST_F(LocalStoreTest, AWholeStation1AndStation2RunIsRecordedStepByStep) {
  RecordKeeper keeper = MakeKeeper();
  rig.ctx.records = &keeper;
  testing::StationRun run(rig);
  run.Station1("AB12CD");
  run.Station2();

  LocalStore& store = *keeper.Local();
  std::vector<StoredStep> steps = store.Steps();
  ASSERT_EQ(steps.size(), 2u + 27u);
  const StepRecord& grease = steps[0].record;
  EXPECT_EQ(grease.station, 1);
  EXPECT_THAT(grease.slot_results, ElementsAre(SlotResult{0, "Grease", 1}));
  EXPECT_EQ(grease.total, 2);
  // The head ID step names the printer as it was read back, though the runner clears its block.
  const StepRecord& head = steps[1].record;
  EXPECT_EQ(head.printer.model_code, "031");
  EXPECT_EQ(head.printer.usb_serial, "ABC01261208113118");
  EXPECT_EQ(head.printer.head_id, "AB12CD");
  EXPECT_EQ(head.printer.head_id_hex, "414231324344");
  EXPECT_THAT(head.slot_results, ElementsAre(SlotResult{1, "Head ID", 1}));
  EXPECT_EQ(head.total, 1);
  EXPECT_EQ(head.settings, run.settings);
  EXPECT_EQ(steps[1].origin, kOrigin);

  for (int position = 0; position < 27; ++position) {
    const StepRecord& r = steps[2 + position].record;
    EXPECT_EQ(r.station, 2);
    EXPECT_EQ(r.position, position);
    EXPECT_EQ(r.text, testing::StationRun::kStation2Steps[position]);
    EXPECT_EQ(r.printer.head_id, "AB12CD") << position;
  }
  // The separators set nothing; TOF stores its value; the discharge ends with a pass.
  EXPECT_TRUE(steps[2 + 20].record.slot_results.empty());
  EXPECT_THAT(steps[2 + 14].record.slot_results, ElementsAre(SlotResult{2, "TOF", 1}));
  EXPECT_EQ(steps[2 + 14].record.adjustments.tof, 2);
  EXPECT_EQ(steps[2 + 13].record.adjustments.tof, 0);
  EXPECT_EQ(steps.back().record.total, 1);
  EXPECT_EQ(steps.back().record.started, "2004-04-07T09:05:03");

  // The journal holds the two writes, each with what was read before it.
  std::vector<StoredJournal> journal = store.Journal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].record.operation, "SetHeadID");
  EXPECT_EQ(journal[1].record.operation, "TOF");
  EXPECT_EQ(journal[1].record.before[kTofAdjustOffset], 0);
  EXPECT_EQ(journal[1].record.written[kTofAdjustOffset], 2);
  EXPECT_EQ(store.Journal("ABC01261208113118").size(), 2u);
}

TEST_F(LocalStoreTest, FiltersAndYieldPerStationAndDay) {
  RecordKeeper keeper = MakeKeeper();
  rig.ctx.records = &keeper;
  testing::StationRun run(rig);
  run.Station1("AB12CD");
  run.Station2();
  rig.printer.eeprom().fill(0);
  run.Station1("EF34GH");
  run.Station2(/*fail_slot=*/1);
  LocalStore& store = *keeper.Local();

  EXPECT_EQ(store.Steps({"", "", 1}).size(), 4u);
  EXPECT_EQ(store.Steps({"ABC01261208113118", "", 2}).size(), 54u);  // the same time stamp
  EXPECT_TRUE(store.Steps({"", "2004-04-08", 0}).empty());
  EXPECT_EQ(store.Steps({"", "2004-04-07T09:00:00", 0}).size(), 58u);

  std::vector<YieldRow> yield = store.Yield();
  ASSERT_EQ(yield.size(), 2u);
  EXPECT_EQ(yield[0].station, 1);
  EXPECT_EQ(yield[1].station, 2);
  EXPECT_EQ(yield[1].day, "2004-04-07");
  EXPECT_EQ(yield[1].printers, 1);  // both printers have the same serial here
  EXPECT_EQ(yield[1].failed, 1);
  EXPECT_THAT(yield[1].failed_slots, ElementsAre(Pair("Nozzle Check", 5)));
}

// Station 1's grease runs before the head ID names the printer: it counts for the printer named
// next at that station, and a grease nothing followed counts apart, not as a printer.
TEST_F(LocalStoreTest, YieldAtStation1CountsTheGreaseForThePrinterItsHeadIdNames) {
  LocalStore store;
  ASSERT_TRUE(store.Open(File())) << store.error();
  auto step = [&](const std::string& host, int station, const std::string& slot, int result,
                  int total, const std::string& serial) {
    StepRecord r;
    r.station = station;
    r.started = "2026-12-08T10:00:00";
    r.slot_results = {{0, slot, result}};
    r.total = total;
    r.printer.usb_serial = serial;
    r.printer.head_id = serial.empty() ? "" : "H" + serial;
    ASSERT_TRUE(store.Add(r, {host, "0.1.0", "program"}));
  };
  step("st1", 1, "Grease", 0, 0, "");  // failed grease, then the head ID of S1
  step("st2", 1, "Grease", 1, 2, "");  // another station's grease: not S1's
  step("st1", 1, "Head ID", 1, 0, "S1");
  step("st2", 1, "Head ID", 1, 1, "S2");
  step("st1", 1, "Grease", 1, 2, "");  // a printer taken off before its head ID
  step("st3", 2, "CT", 1, 2, "S1");
  step("st3", 2, "CT", 1, 1, "S2");

  const std::vector<YieldRow> yield = store.Yield();
  ASSERT_EQ(yield.size(), 2u);
  EXPECT_EQ(yield[0].station, 1);
  EXPECT_EQ(yield[0].printers, 2);
  EXPECT_EQ(yield[0].passed, 1);
  EXPECT_EQ(yield[0].failed, 1);
  EXPECT_EQ(yield[0].unidentified, 1);
  EXPECT_THAT(yield[0].failed_slots, ElementsAre(Pair("Grease", 1)));
  EXPECT_EQ(yield[1].printers, 2);
  EXPECT_EQ(yield[1].unidentified, 0);
}

TEST_F(LocalStoreTest, AFileOfTheFirstSchemaIsMigratedWithItsRecords) {
  {
    SqliteDb db;
    ASSERT_TRUE(db.Open(File()));
    ASSERT_TRUE(MigrateTo(db, 1));
    ASSERT_TRUE(db.Exec(
        "INSERT INTO steps (uid, host, tool_version, edition, station, position, text, started, "
        "ended, total, model_code, usb_serial, head_id, tof, ms1, ms2, vsd, ecn, destination, "
        "belt, pc, jig) VALUES ('u1', 'old', '0.0.9', 'program', 2, 14, '    3-1. Print - TOF', "
        "'2026-01-02T08:00:00', '2026-01-02T08:01:00', 2, '031', 'S1', 'H1', 3, 0, 0, 0, 0, "
        "'031', 'ABC', '01', 'CT');"
        "INSERT INTO step_slots VALUES (1, 2, 'TOF', 1);"
        "INSERT INTO journal (uid, host, tool_version, edition, operation, time, model_code, "
        "usb_serial, head_id, area, before_bytes, written_bytes, read_back_bytes, check_result) "
        "VALUES ('u2', 'old', '0.0.9', 'program', 'TOF', '2026-01-02T08:01:00', '031', 'S1', "
        "'H1', 'head block', x'00', x'01', x'01', 'verified');"));
    EXPECT_EQ(SchemaVersion(db), 1);
  }
  // The local times of older records get their UTC time by this machine's zone (UTC+1 here).
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  setenv("TZ", "CET-1", 1);
  tzset();
  LocalStore store;
  ASSERT_TRUE(store.Open(File())) << store.error();
  if (zone) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  EXPECT_EQ(SchemaVersion(store.db()), kSchemaVersion);
  EXPECT_EQ(store.Steps()[0].record.started_utc, "2026-01-02T07:00:00Z");
  EXPECT_EQ(store.Steps()[0].record.ended_utc, "2026-01-02T07:01:00Z");
  EXPECT_EQ(store.Journal()[0].record.time_utc, "2026-01-02T07:01:00Z");
  std::vector<StoredStep> steps = store.Steps();
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].record.adjustments.tof, 3);
  EXPECT_THAT(steps[0].record.slot_results, ElementsAre(SlotResult{2, "TOF", 1}));
  EXPECT_FALSE(steps[0].sent);
  EXPECT_EQ(store.Journal("S1").at(0).record.check, WriteCheck::kVerified);
  // What the old file held waits for a line database like any new record.
  EXPECT_EQ(store.UnsentCount(), 2);
  EXPECT_TRUE(store.Add(DotWeightRecord{"Bk", {1.5, 2.5}, 2.0, 1.0, 3.0, true, "t", {}}, kOrigin));
  EXPECT_EQ(store.DotWeights().at(0).record.weights, (std::vector<double>{1.5, 2.5}));
}

TEST_F(LocalStoreTest, AFileOfANewerSchemaIsLeftAlone) {
  {
    SqliteDb db;
    ASSERT_TRUE(db.Open(File()));
    ASSERT_TRUE(db.Exec("PRAGMA user_version = 99"));
  }
  LocalStore store;
  EXPECT_FALSE(store.Open(File()));
  EXPECT_THAT(store.error(), ::testing::HasSubstr("newer"));
}

// A child writes steps without end and tells the parent after each commit; the parent kills it
// in the middle of its run. Every step it told of is there, whole, and the file is sound.
TEST_F(LocalStoreTest, AProcessKilledMidRunLeavesEveryCommittedRecordReadable) {
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_fds[0]);
    LocalStore store;
    if (!store.Open(File())) _exit(1);
    StepRecord step;
    step.station = 2;
    step.text = "    2-8. Print - Nozzle Check";
    step.slot_results = {{1, "Nozzle Check", 1}, {2, "TOF", 0}};
    for (int i = 0;; ++i) {
      step.position = i;
      if (!store.Add(step, kOrigin)) _exit(2);
      const char told = 'x';
      if (write(pipe_fds[1], &told, 1) != 1) _exit(3);
    }
  }
  close(pipe_fds[1]);
  int told = 0;
  char c;
  while (told < 40 && read(pipe_fds[0], &c, 1) == 1) ++told;
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(pipe_fds[0]);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself with " << WEXITSTATUS(status);

  LocalStore store;
  ASSERT_TRUE(store.Open(File())) << store.error();
  SqliteStatement check(store.db(), "PRAGMA integrity_check");
  ASSERT_TRUE(check.Step());
  EXPECT_EQ(check.Text(0), "ok");
  std::vector<StoredStep> steps = store.Steps();
  ASSERT_GE(steps.size(), 40u);
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].record.position, static_cast<int>(i));
    EXPECT_EQ(steps[i].record.slot_results.size(), 2u) << i;
  }
  EXPECT_TRUE(store.Add(StepRecord{}, kOrigin));  // and the file takes more
}

// A damaged records file reads as no rows and would swallow new records: it is told once, with
// what to do, and left as it is; records go to a fresh file beside it, which the next run finds
// again, and the commands that read records get no file.
TEST_F(LocalStoreTest, ADamagedFileIsToldLeftAsItIsAndRecordsGoToAFreshFileBesideIt) {
  MakeDamagedFile(File(), 60);
  const std::string damaged = Contents(File());
  LocalStore direct;
  EXPECT_FALSE(direct.Open(File()));
  EXPECT_TRUE(direct.damaged());
  EXPECT_FALSE(direct.is_open());

  std::vector<std::string> warnings;
  auto warn = [&](const std::string& w) { warnings.push_back(w); };
  const std::string fresh = scratch.File("records.fresh.sqlite");
  EXPECT_EQ(RecordKeeper::FreshPath(File()), fresh);
  {
    RecordKeeper keeper({File(), "", kOrigin, warn, 60'000}, rig.clock);
    EXPECT_EQ(keeper.Readable(), nullptr);
    keeper.Record(StepRecord{});
    keeper.Record(JournalEntry{});
    ASSERT_NE(keeper.Local(), nullptr);
    EXPECT_EQ(keeper.Local()->path(), fresh);
    EXPECT_EQ(keeper.Local()->Steps().size(), 1u);
    EXPECT_EQ(keeper.Readable(), nullptr);
    EXPECT_FALSE(keeper.damage().empty());
  }
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_THAT(warnings[0],
              ::testing::StartsWith("the records file " + File() + " is damaged (SQLite finds: "));
  EXPECT_THAT(warnings[0], ::testing::HasSubstr("new records go to " + fresh));
  EXPECT_THAT(warnings[0], ::testing::HasSubstr("sqlite3 " + File() + " .recover"));
  EXPECT_EQ(Contents(File()), damaged);

  RecordKeeper next({File(), "", kOrigin, warn, 60'000}, rig.clock);
  next.Record(StepRecord{});
  EXPECT_EQ(next.Local()->Steps().size(), 2u);
  EXPECT_EQ(warnings.size(), 2u);  // told again by the next run
  EXPECT_EQ(Contents(File()), damaged);
}

TEST_F(LocalStoreTest, AFileThatIsNoDatabaseCountsAsDamagedAndASoundOneIsNot) {
  std::ofstream(File(), std::ios::binary) << std::string(8192, 'x');
  LocalStore store;
  EXPECT_FALSE(store.Open(File()));
  EXPECT_TRUE(store.damaged());
  EXPECT_THAT(store.error(), ::testing::HasSubstr("not a database"));

  LocalStore sound;
  ASSERT_TRUE(sound.Open(scratch.File("sound.sqlite")));
  EXPECT_FALSE(sound.damaged());
  EXPECT_FALSE(sound.read_failed());
  EXPECT_TRUE(sound.Steps().empty());
  EXPECT_FALSE(sound.read_failed());
}

TEST_F(LocalStoreTest, AKeeperThatCannotOpenItsFileWarnsOnceAndTheCallerGoesOn) {
  std::vector<std::string> warnings;
  RecordKeeper keeper({scratch.File("records.sqlite") + "/not-a-dir/x.sqlite", "", kOrigin,
                       [&](const std::string& w) { warnings.push_back(w); }, 60'000},
                      rig.clock);
  std::ofstream(scratch.File("records.sqlite")) << "a file, not a folder";
  keeper.Record(StepRecord{});
  keeper.Record(JournalEntry{});
  EXPECT_EQ(warnings.size(), 1u);
  std::string error;
  EXPECT_FALSE(keeper.Push(&error));
  EXPECT_THAT(error, ::testing::HasSubstr("no line database"));
}

}  // namespace
}  // namespace tarvo::records
