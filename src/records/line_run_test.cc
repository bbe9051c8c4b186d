// A production line: eight stations at once, each with its own records file and sender, putting
// its printers through both stations into one line database. Every record arrives once and the
// yield of each station is right. TARVO_LINE_PRINTERS sets the printers per station (default 25,
// the full line: a few seconds); scripts/line_run.sh runs it alone and reports its cost.
#include <gmock/gmock.h>
#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "model/step_recording.h"
#include "records/line_database.h"
#include "records/pg_server_test.h"
#include "records/record_keeper.h"
#include "records/station_run_test.h"
#include "testing/scratch_dir.h"

namespace tarvo::records {
namespace {

constexpr int kStations = 8;
constexpr int kStation2Steps = 27;

int PrintersPerStation() {
  const char* set = std::getenv("TARVO_LINE_PRINTERS");
  const int n = set ? std::atoi(set) : 0;
  return n > 0 ? n : 25;
}

// A record sink that times the keeper's Record() calls: the cost on the operator's path.
class TimedSink : public RecordSink {
 public:
  explicit TimedSink(RecordSink& inner) : inner_(inner) {}
  void Record(const StepRecord& step) override {
    Time([&] { inner_.Record(step); });
  }
  void Record(const DotWeightRecord& m) override {
    Time([&] { inner_.Record(m); });
  }
  void Record(const JournalEntry& entry) override {
    Time([&] { inner_.Record(entry); });
  }
  double seconds = 0;
  int calls = 0;

 private:
  template <typename F>
  void Time(F f) {
    // The sink state the device layer sets goes to the keeper with the record.
    inner_.SetStation(station());
    const auto start = std::chrono::steady_clock::now();
    f();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++calls;
  }
  RecordSink& inner_;
};

struct Station {
  std::string host;
  std::string file;
  std::vector<std::string> warnings;
  std::vector<YieldRow> yield;
  double record_seconds = 0;
  int records = 0;
  int64_t unsent = -1;
};

// Printer p of station s: its serial number. Every fifth fails its nozzle check at Station 2;
// one in seven (none of those) fails its grease at Station 1 first (greased again, it passes).
std::string Serial(int s, int p) {
  char serial[16];
  std::snprintf(serial, sizeof serial, "L%c%03d", 'A' + s % 26, p % 1000);
  return serial;
}
bool FailsStation2(int p) {
  return p % 5 == 4;
}
bool FailsGrease(int p) {
  return p % 7 == 6 && !FailsStation2(p);
}
int Count(int printers, bool (*fails)(int)) {
  int n = 0;
  for (int p = 0; p < printers; ++p) n += fails(p) ? 1 : 0;
  return n;
}

void RunStation(Station& station, const std::string& url, int printers) {
  tarvo::testing::DeviceRig rig;
  KeeperOptions options{station.file, url, Origin{station.host, "0.1.0", "program"},
                        [&station](const std::string& w) { station.warnings.push_back(w); }};
  options.background = true;
  RecordKeeper keeper(options, rig.clock);
  TimedSink timed(keeper);
  rig.ctx.records = &timed;
  rig.Open();
  testing::StationRun run(rig);
  for (int p = 0; p < printers; ++p) {
    RomImage& e = rig.printer.eeprom();
    e.fill(0);
    std::copy_n("031", 3, e.begin());
    // A fresh printer on the jig: nothing of the last one is in the station's blocks.
    run.working.fill(0);
    run.read.fill(0);
    timed.SetStation({1, "B" + std::to_string(p % 10), "P1", ""});
    run.Station1("H" + Serial(0, p), FailsGrease(p),
                 Serial(static_cast<int>(station.host.back() - '0'), p));
    timed.SetStation({2, "", "", "07"});
    run.Station2(FailsStation2(p) ? 1 : -1);
    timed.SetStation({});
    // Its dot weight, measured off the stations, names the printer the EEPROM showed last.
    const double weights[] = {25.0};
    RecordDotWeight(rig.ctx, "Mono", weights, 25.0, 20.0, 30.0, true);
  }
  rig.ctx.records = nullptr;
  keeper.WaitForSender();
  station.record_seconds = timed.seconds;
  station.records = timed.calls;
  station.unsent = keeper.Local()->UnsentCount();
  station.yield = keeper.Local()->Yield();
}

std::string Query(const std::string& url, const std::string& sql) {
  PGconn* conn = PQconnectdb(url.c_str());
  PGresult* r = PQexec(conn, sql.c_str());
  std::string out = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0
                        ? PQgetvalue(r, 0, 0)
                        : std::string("ERROR: ") + PQresultErrorMessage(r);
  PQclear(r);
  PQfinish(conn);
  return out;
}

TEST(LineDatabaseLineTest, EightStationsPutEveryRecordInTheLineDatabaseOnce) {
  testing::PgServer* server = testing::PgServer::Get();
  if (!server) GTEST_SKIP() << testing::PgServer::why();
  const std::string admin = server->conninfo();
  const std::string name = "line" + NewUid().substr(0, 10);
  ASSERT_EQ(Query(admin, "SELECT 1 FROM pg_database LIMIT 1"), "1");
  {
    PGconn* conn = PQconnectdb(admin.c_str());
    PQclear(PQexec(conn, ("CREATE DATABASE " + name).c_str()));
    PQfinish(conn);
  }
  std::string url = admin;
  url.replace(url.find("dbname=postgres"), 15, "dbname=" + name);
  {
    LineDatabase owner(url);
    ASSERT_TRUE(owner.Setup()) << owner.error();
  }
  const int printers = PrintersPerStation();
  tarvo::testing::ScratchDir scratch;
  std::vector<Station> stations(kStations);
  const auto start = std::chrono::steady_clock::now();
  {
    std::vector<std::thread> threads;
    for (int s = 0; s < kStations; ++s) {
      stations[s].host = "station-" + std::to_string(s);
      stations[s].file = scratch.File("machine" + std::to_string(s) + "/records.sqlite");
      threads.emplace_back(RunStation, std::ref(stations[s]), url, printers);
    }
    for (std::thread& t : threads) t.join();
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const int grease_failed = Count(printers, FailsGrease);
  const int station2_failed = Count(printers, FailsStation2);
  const int at_station2 = printers;
  const int steps = kStations * (printers * 2 + at_station2 * kStation2Steps);
  // The head ID written at Station 1, the TOF at Station 2.
  const int journal = kStations * (printers + at_station2);
  for (const Station& s : stations) {
    EXPECT_THAT(s.warnings, ::testing::IsEmpty()) << s.host;
    EXPECT_EQ(s.unsent, 0) << s.host;
    // Each station's own yield, the failed greases counted for the printers they were on.
    ASSERT_EQ(s.yield.size(), 2u) << s.host;
    EXPECT_EQ(s.yield[0].printers, printers);
    EXPECT_EQ(s.yield[0].failed, 0);
    EXPECT_EQ(s.yield[0].passed, printers);
    const std::vector<std::pair<std::string, int>> greases = {{"Grease", grease_failed}};
    EXPECT_EQ(s.yield[0].failed_slots, greases);
    EXPECT_EQ(s.yield[0].unidentified, 0);
    EXPECT_EQ(s.yield[1].printers, at_station2);
    EXPECT_EQ(s.yield[1].failed, station2_failed);
    EXPECT_EQ(s.yield[1].passed, at_station2 - station2_failed);
  }
  LineDatabase line(url);
  EXPECT_EQ(line.Count("steps"), steps);
  EXPECT_EQ(line.Count("steps", true), steps);
  EXPECT_EQ(line.Count("journal"), journal);
  EXPECT_EQ(line.Count("journal", true), journal);
  // The line's yield per station from the line database: printers by their last step's total.
  const std::string per_station =
      "SELECT string_agg(station || ':' || printers || '/' || passed || '/' || failed, ' ' "
      "ORDER BY station) FROM (SELECT station, count(*) AS printers, "
      "count(*) FILTER (WHERE total = 1) AS passed, count(*) FILTER (WHERE total = 0) AS failed "
      "FROM (SELECT DISTINCT ON (host, station, usb_serial) host, station, usb_serial, total "
      "FROM tarvo_steps ORDER BY host, station, usb_serial, ended_utc DESC, position DESC) last "
      "WHERE usb_serial <> '' GROUP BY station) s";
  auto row = [](int station, int printers, int failed) {
    return std::to_string(station) + ":" + std::to_string(printers) + "/" +
           std::to_string(printers - failed) + "/" + std::to_string(failed);
  };
  EXPECT_EQ(Query(url, per_station),
            row(1, kStations * printers, 0) + " " +
                row(2, kStations * at_station2, kStations * station2_failed));
  // Every dot weight names its printer.
  EXPECT_EQ(Query(url,
                  "SELECT count(DISTINCT usb_serial) FROM tarvo_dot_weights WHERE "
                  "usb_serial <> '' AND head_id <> ''"),
            std::to_string(kStations * at_station2));
  // Every record names its station, as the step runner set it.
  EXPECT_EQ(Query(url,
                  "SELECT count(*) FROM tarvo_steps WHERE station_no = station AND "
                  "(station = 1 AND pc_name = 'P1' OR station = 2 AND jig_no = '07')"),
            std::to_string(steps));
  EXPECT_EQ(Query(url, "SELECT count(*) FROM tarvo_journal WHERE station_no IS NOT NULL"),
            std::to_string(journal));

  // What keeping records costs a step: the time in the keeper (the file; the sending is the
  // sender's), and the bytes of a step in the file and in the line database.
  double record_seconds = 0;
  int records = 0;
  uintmax_t file_bytes = 0;
  for (const Station& s : stations) {
    record_seconds += s.record_seconds;
    records += s.records;
    for (const char* suffix : {"", "-wal"}) {
      std::error_code ec;
      const uintmax_t size = std::filesystem::file_size(s.file + suffix, ec);
      if (!ec) file_bytes += size;
    }
  }
  const std::string db_bytes = Query(
      url,
      "SELECT pg_total_relation_size('tarvo_steps') + pg_total_relation_size('tarvo_journal')");
  std::printf(
      "line of %d stations x %d printers: %d steps, %d journal entries in %.2f s; "
      "%.3f ms in the keeper per record; %.0f bytes per step in the files, %.0f in the line "
      "database\n",
      kStations, printers, steps, journal, wall, 1000 * record_seconds / records,
      static_cast<double>(file_bytes) / steps, std::stod(db_bytes) / steps);
}

}  // namespace
}  // namespace tarvo::records
