// Every JSON endpoint, against the line database of a real PostgreSQL server and against a
// records file, holding the same station runs.
#include <gmock/gmock.h>
#include <httplib.h>
#include <libpq-fe.h>

#include <future>
#include <thread>

#include "line/line_records_test.h"
#include "line/line_server.h"
#include "line/watcher.h"
#include "records/line_database.h"
#include "records/pg_server_test.h"
#include "testing/scratch_dir.h"

namespace tarvo::line {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const records::Origin kOrigin{"station-b", "0.1.0", "program"};

// The endpoints' answers for the morning, whichever database holds it.
void ExpectTheMorning(LineServer& server) {
  auto ask = [&](const std::string& endpoint, std::map<std::string, std::string> params = {}) {
    if (!params.contains("from")) params["from"] = "2026-12-01";
    LineServer::Answer a = server.Query(endpoint, [&](const std::string& k) {
      return params.contains(k) ? params[k] : std::string();
    });
    EXPECT_EQ(a.status, 200) << endpoint << ": " << a.body.dump();
    return a.body;
  };

  const Json now = ask("/api/now");
  ASSERT_EQ(now["stations"].size(), 2u) << now.dump();
  const Json& s2 = now["stations"][0]["station"] == 2 ? now["stations"][0] : now["stations"][1];
  EXPECT_EQ(s2["host"], "station-b");
  EXPECT_EQ(s2["text"], " 9. Ink DisCharge");
  EXPECT_EQ(s2["head_id"], "HEAD03");
  EXPECT_EQ(s2["result"], "FAIL");
  EXPECT_EQ(s2["belt_name"], "ABC");
  EXPECT_TRUE(s2["seconds_since"].is_number()) << s2.dump();

  const Json yield = ask("/api/yield", {{"station", "2"}});
  ASSERT_EQ(yield["rows"].size(), 1u) << yield.dump();
  EXPECT_EQ(yield["rows"][0]["period"], "2026-12-08");
  EXPECT_EQ(yield["rows"][0]["printers"], 3);
  EXPECT_EQ(yield["rows"][0]["passed"], 1);
  EXPECT_EQ(yield["rows"][0]["failed"], 2);
  EXPECT_EQ(yield["rows"][0]["first_pass"], 1);
  EXPECT_EQ(ask("/api/yield", {{"station", "2"}, {"by", "hour"}})["rows"][0]["period"],
            "2026-12-08T09:00");
  EXPECT_EQ(ask("/api/yield", {{"station", "2"}, {"by", "shift"}})["rows"][0]["period"],
            "2026-12-08 early");
  // Nothing before the range's start, nothing at or after its end.
  EXPECT_TRUE(ask("/api/yield", {{"from", "2026-12-09"}})["rows"].empty());
  EXPECT_TRUE(ask("/api/yield", {{"to", "2026-12-08"}})["rows"].empty());

  const Json failures = ask("/api/failures");
  ASSERT_EQ(failures["slots"].size(), 2u) << failures.dump();
  EXPECT_EQ(failures["slots"][0]["slot"], "Nozzle Check");
  EXPECT_EQ(failures["slots"][0]["printers"], 1);
  EXPECT_EQ(failures["slots"][1]["slot"], "TOF");
  EXPECT_EQ(failures["slots"][1]["cumulative_share"], 1.0);
  const Json tof = ask("/api/failures/printers", {{"slot", "TOF"}});
  ASSERT_FALSE(tof["printers"].empty());
  for (const Json& p : tof["printers"]) EXPECT_EQ(p["head_id"], "HEAD02");

  const Json adjustments = ask("/api/adjustments");
  ASSERT_EQ(adjustments["values"].size(), 3u) << adjustments.dump();
  EXPECT_EQ(adjustments["values"][0]["head_id"], "HEAD01");
  EXPECT_EQ(adjustments["values"][0]["tof"], 2);  // as the TOF step wrote it
  EXPECT_FALSE(adjustments["control"].empty());
  EXPECT_FALSE(adjustments["histogram"].empty());

  const Json weights = ask("/api/dotweights");
  ASSERT_EQ(weights["measurements"].size(), 2u) << weights.dump();
  EXPECT_EQ(weights["measurements"][1]["outside"], true);
  EXPECT_EQ(weights["measurements"][1]["high"], 52.9);

  const Json found = ask("/api/printers", {{"q", "head02"}});
  ASSERT_EQ(found["printers"].size(), 1u) << found.dump();
  const std::string serial = found["printers"][0]["usb_serial"];
  EXPECT_THAT(serial, ::testing::StartsWith("ABC01"));
  const Json printer = ask("/api/printer", {{"head", "HEAD02"}, {"serial", serial}});
  EXPECT_GE(printer["steps"].size(), 28u);
  ASSERT_EQ(printer["journal"].size(), 2u) << printer["journal"].dump();
  EXPECT_EQ(printer["journal"][0]["operation"], "SetHeadID");
  bool head_changed = false;
  for (const Json& f : printer["journal"][0]["fields"]) {
    if (f["name"] == "HeadId") {
      head_changed = f["changed"] == true && f["written"] == "HEAD02";
    }
  }
  EXPECT_TRUE(head_changed) << printer["journal"][0]["fields"].dump();
  EXPECT_EQ(printer["journal"][1]["operation"], "TOF");
  EXPECT_EQ(printer["journal"][1]["changed_fields"], 1);
}

void ExpectBadQuestionsRefused(LineServer& server) {
  auto status = [&](const std::string& endpoint, std::map<std::string, std::string> params) {
    return server
        .Query(endpoint, [&](const std::string& k) { return params.contains(k) ? params[k] : ""; })
        .status;
  };
  EXPECT_EQ(status("/api/yield", {{"from", "2026-12-08' OR 1=1 --"}}), 400);
  EXPECT_EQ(status("/api/yield", {{"by", "week"}}), 400);
  EXPECT_EQ(status("/api/failures", {{"station", "3"}}), 400);
  EXPECT_EQ(status("/api/printers", {}), 400);
  EXPECT_EQ(status("/api/printer", {}), 400);
  // A quote in a search is only text.
  EXPECT_EQ(status("/api/printers", {{"q", "x' OR '1'='1"}}), 200);
}

// Two fresh printers at Station 1, the first failing its grease (a step naming no printer yet):
// the grease counts for the printer the station names next, as "tarvo-cli records yield" counts.
void RunFailedGrease(tarvo::testing::DeviceRig& rig, records::RecordKeeper& keeper) {
  rig.ctx.records = &keeper;
  testing::FreshPrinter(rig);
  records::testing::StationRun(rig).Station1("HEAD09", true);
  testing::FreshPrinter(rig);
  records::testing::StationRun(rig).Station1("HEAD10");
  rig.ctx.records = nullptr;
}

void ExpectAFailedGreaseCountsForItsPrinter(LineServer& server) {
  const LineServer::Answer a = server.Query("/api/yield", [](const std::string& k) {
    return k == "from" ? "2026-12-01" : k == "station" ? "1" : "";
  });
  ASSERT_EQ(a.status, 200) << a.body.dump();
  ASSERT_EQ(a.body["rows"].size(), 1u) << a.body.dump();
  const Json& r = a.body["rows"][0];
  EXPECT_EQ(r["printers"], 2);
  EXPECT_EQ(r["passed"], 2);
  EXPECT_EQ(r["failed"], 0);
  EXPECT_EQ(r["first_pass"], 1);  // HEAD10 alone: HEAD09's grease failed
  EXPECT_EQ(r["steps_naming_no_printer"], 0);
}

struct LineFileTest : ::testing::Test {
  void SetUp() override { testing::PrepareRig(rig); }
  tarvo::testing::ScratchDir scratch;
  tarvo::testing::DeviceRig rig;
};

TEST_F(LineFileTest, EveryEndpointAnswersFromARecordsFile) {
  const std::string path = scratch.File("records.sqlite");
  {
    records::RecordKeeper keeper({path, "", kOrigin, [](const std::string&) {}}, rig.clock);
    testing::RunMorning(rig, keeper);
  }
  LineServer server({}, [&](std::string* e) { return records::OpenRecordsFileReader(path, e); });
  ExpectTheMorning(server);
  ExpectBadQuestionsRefused(server);
}

TEST_F(LineFileTest, AFailedGreaseCountsForThePrinterItsStationNamesNext) {
  const std::string path = scratch.File("records.sqlite");
  {
    records::RecordKeeper keeper({path, "", kOrigin, [](const std::string&) {}}, rig.clock);
    RunFailedGrease(rig, keeper);
  }
  LineServer server({}, [&](std::string* e) { return records::OpenRecordsFileReader(path, e); });
  ExpectAFailedGreaseCountsForItsPrinter(server);
}

// HTTPS with a certificate of the line's own: a client that trusts it reads the pages; one that
// speaks plain HTTP gets nothing; a key that cannot be read is told before listening.
TEST_F(LineFileTest, ServesHttpsWithTheLinesCertificate) {
  const std::string path = scratch.File("records.sqlite");
  {
    records::RecordKeeper keeper({path, "", kOrigin, [](const std::string&) {}}, rig.clock);
    testing::RunMorning(rig, keeper);
  }
  const std::string cert = scratch.File("line.pem"), key = scratch.File("line.key");
  const std::string make =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj "
      "/CN=localhost -addext subjectAltName=IP:127.0.0.1 -keyout " +
      key + " -out " + cert + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0) << make;
  auto open = [&](std::string* e) { return records::OpenRecordsFileReader(path, e); };

  ServerOptions unreadable;
  unreadable.tls_cert = cert;
  unreadable.tls_key = scratch.File("none.key");
  std::string error;
  EXPECT_FALSE(LineServer(unreadable, open).Bind(&error));
  EXPECT_EQ(error, "the TLS certificate or key cannot be read");

  ServerOptions options;
  options.port = 0;
  options.tls_cert = cert;
  options.tls_key = key;
  LineServer server(options, open);
  ASSERT_TRUE(server.Bind(&error)) << error;
  std::thread serving([&] { server.Run(); });
  httplib::SSLClient client("127.0.0.1", server.port());
  client.set_ca_cert_path(cert.c_str());
  client.enable_server_certificate_verification(true);
  auto now = client.Get("/api/now?from=2026-12-01");
  ASSERT_TRUE(now) << httplib::to_string(now.error());
  EXPECT_EQ(now->status, 200);
  EXPECT_THAT(now->body, HasSubstr("HEAD03"));
  httplib::Client plain("127.0.0.1", server.port());
  plain.set_read_timeout(5, 0);
  auto refused = plain.Get("/api/now");
  EXPECT_TRUE(!refused || refused->status != 200);
  server.Stop();
  serving.join();
}

TEST_F(LineFileTest, AMissingFileIsToldAndNotMade) {
  const std::string path = scratch.File("none.sqlite");
  LineServer server({}, [&](std::string* e) { return records::OpenRecordsFileReader(path, e); });
  EXPECT_EQ(server.Query("/api/now", [](const std::string&) { return ""; }).status, 503);
  EXPECT_FALSE(std::filesystem::exists(path));
}

struct LineDatabaseApiTest : ::testing::Test {
  void SetUp() override {
    pg = records::testing::PgServer::Get();
    if (!pg) GTEST_SKIP() << records::testing::PgServer::why();
    name = "l" + records::NewUid().substr(0, 12);
    ASSERT_TRUE(Admin("CREATE DATABASE " + name));
    records::LineDatabase owner(Url());
    ASSERT_TRUE(owner.Setup()) << owner.error();
    Admin(
        "DO \\$\\$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'reports') THEN "
        "CREATE ROLE reports LOGIN IN ROLE tarvo_reader; END IF; END \\$\\$");
    testing::PrepareRig(rig);
  }
  bool Admin(const std::string& sql, const std::string& database = "postgres") {
    const std::string command = pg->psql() + " -q -X -d \"host=" + pg->dir() +
                                " dbname=" + database + " user=tarvo\" -c \"" + sql +
                                "\" >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }
  std::string Url(const std::string& user = "tarvo") const {
    return "host=" + pg->dir() + " dbname=" + name + " user=" + user;
  }
  records::testing::PgServer* pg = nullptr;
  std::string name;
  tarvo::testing::ScratchDir scratch;
  tarvo::testing::DeviceRig rig;
};

TEST_F(LineDatabaseApiTest, EveryEndpointAnswersFromTheLineDatabaseAsTheReader) {
  records::RecordKeeper keeper(
      {scratch.File("r.sqlite"), Url(), kOrigin, [](const std::string& w) { ADD_FAILURE() << w; }},
      rig.clock);
  testing::RunMorning(rig, keeper);
  const std::string url = Url("reports");
  LineServer server({}, [&](std::string* e) { return records::OpenLineDatabaseReader(url, e); });
  ExpectTheMorning(server);
  ExpectBadQuestionsRefused(server);
}

TEST_F(LineDatabaseApiTest, AFailedGreaseCountsForThePrinterItsStationNamesNext) {
  records::RecordKeeper keeper(
      {scratch.File("r.sqlite"), Url(), kOrigin, [](const std::string& w) { ADD_FAILURE() << w; }},
      rig.clock);
  RunFailedGrease(rig, keeper);
  const std::string url = Url("reports");
  LineServer server({}, [&](std::string* e) { return records::OpenLineDatabaseReader(url, e); });
  ExpectAFailedGreaseCountsForItsPrinter(server);
}

// The line database answers yield and adjustments from its hourly rollup; a records file from
// its steps. Both hold the same records, so both must answer alike: for a morning, a failed
// grease and a last grease whose printer no step names yet, for ranges of whole hours (the
// rollup) and not (the steps), kept as the records arrived and filled afresh by setup-db.
TEST_F(LineDatabaseApiTest, TheHourlyRollupAnswersAsTheStepsDo) {
  const std::string file = scratch.File("r.sqlite");
  {
    records::RecordKeeper keeper(
        {file, Url(), kOrigin, [](const std::string& w) { ADD_FAILURE() << w; }}, rig.clock);
    testing::RunMorning(rig, keeper);
    RunFailedGrease(rig, keeper);
    rig.ctx.records = &keeper;
    testing::FreshPrinter(rig);
    records::testing::StationRun(rig).Grease(true);
    rig.ctx.records = nullptr;
  }
  const std::string url = Url("reports");
  LineServer database({}, [&](std::string* e) { return records::OpenLineDatabaseReader(url, e); });
  LineServer records_file({},
                          [&](std::string* e) { return records::OpenRecordsFileReader(file, e); });
  const std::vector<std::map<std::string, std::string>> questions = {
      {{"from", "2026-12-01"}},
      {{"from", "2026-12-01"}, {"by", "hour"}},
      {{"from", "2026-12-01"}, {"by", "shift"}, {"station", "1"}},
      {{"from", "2026-12-08T09:00:00"}, {"to", "2026-12-08T10:00:00"}, {"station", "2"}},
      {{"from", "2026-12-08T09:30:00"}, {"by", "hour"}},
      {{"to", "2026-12-08T09:15"}},
  };
  auto expect_alike = [&](const char* when) {
    for (const auto& params : questions) {
      for (const char* endpoint : {"/api/yield", "/api/adjustments"}) {
        auto get = [&](const std::string& k) {
          return params.contains(k) ? params.at(k) : std::string();
        };
        const LineServer::Answer a = database.Query(endpoint, get);
        const LineServer::Answer b = records_file.Query(endpoint, get);
        ASSERT_EQ(a.status, 200) << a.body.dump();
        EXPECT_EQ(a.body, b.body) << when << " " << endpoint << " " << Json(params).dump();
      }
    }
  };
  expect_alike("kept as the records arrived:");
  const Json unnamed = database
                           .Query("/api/yield",
                                  [](const std::string& k) {
                                    return k == "from" ? "2026-12-01" : k == "station" ? "1" : "";
                                  })
                           .body;
  ASSERT_EQ(unnamed["rows"].size(), 1u) << unnamed.dump();
  EXPECT_EQ(unnamed["rows"][0]["steps_naming_no_printer"], 1);

  ASSERT_TRUE(Admin("TRUNCATE tarvo_step_hours, tarvo_unnamed_steps", name));
  records::LineDatabase owner(Url());
  ASSERT_TRUE(owner.Setup()) << owner.error();
  expect_alike("filled afresh:");
}

TEST_F(LineDatabaseApiTest, TheReaderCannotWriteAndItsErrorsHoldNoPassword) {
  std::string error;
  auto reader = records::OpenLineDatabaseReader(Url("reports") + " password=Sekr1t", &error);
  ASSERT_TRUE(reader) << error;
  PGconn* conn = PQconnectdb(Url("reports").c_str());
  PGresult* r = PQexec(conn, "INSERT INTO tarvo_steps (uid) VALUES ('x')");
  EXPECT_EQ(PQresultStatus(r), PGRES_FATAL_ERROR);
  PQclear(r);
  PQfinish(conn);
  EXPECT_FALSE(records::OpenLineDatabaseReader(Url("nobody") + " password=Sekr1t", &error));
  EXPECT_THAT(error, Not(HasSubstr("Sekr1t")));
  EXPECT_FALSE(error.empty());
}

// Over HTTP: a record arriving in the database reaches a live connection as an event; CSV of a
// table; basic authentication when asked for.
TEST_F(LineDatabaseApiTest, ARecordReachesTheLiveStreamAndTablesGoOutAsCsv) {
  records::RecordKeeper keeper(
      {scratch.File("r.sqlite"), Url(), kOrigin, [](const std::string& w) { ADD_FAILURE() << w; }},
      rig.clock);
  testing::RunMorning(rig, keeper);
  const std::string url = Url("reports");
  ServerOptions options;
  options.port = 0;
  options.user = "line";
  options.password = "pw";
  options.keepalive = std::chrono::minutes(1);
  LineServer server(options,
                    [&](std::string* e) { return records::OpenLineDatabaseReader(url, e); });
  std::string error;
  ASSERT_TRUE(server.Bind(&error)) << error;
  std::promise<void> listening;
  NotifyWatcher watcher(
      url, server.hub(), [](const std::string& w) { ADD_FAILURE() << w; },
      [&, once = true]() mutable {
        if (once) listening.set_value();
        once = false;
      });
  listening.get_future().wait();
  std::thread serving([&] { server.Run(); });

  httplib::Client client("127.0.0.1", server.port());
  EXPECT_EQ(client.Get("/api/now")->status, 401);
  client.set_basic_auth("line", "pw");
  auto page = client.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_THAT(page->get_header_value("Content-Security-Policy"), HasSubstr("script-src 'self'"));
  auto csv = client.Get("/api/failures?from=2026-12-01&format=csv&table=slots");
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->body,
            "\"slot\",\"failures\",\"printers\",\"cumulative_share\"\r\n"
            "\"Nozzle Check\",\"5\",\"1\",\"0.714\"\r\n\"TOF\",\"2\",\"1\",\"1.0\"\r\n");
  EXPECT_EQ(client.Post("/api/now")->status, 404);

  // The live stream: hello, then an event for the record inserted meanwhile.
  std::string stream;
  bool inserted = false;
  httplib::Client live("127.0.0.1", server.port());
  live.set_basic_auth("line", "pw");
  live.set_read_timeout(10, 0);  // a lost event fails the test rather than hanging it
  live.Get("/api/events", [&](const char* data, size_t n) {
    stream.append(data, n);
    if (!inserted && stream.find("event: hello") != std::string::npos) {
      inserted = true;
      rig.ctx.records = &keeper;
      testing::FreshPrinter(rig);
      records::testing::StationRun(rig).Station1("HEAD04");
      rig.ctx.records = nullptr;
    }
    return stream.find("event: records") == std::string::npos;
  });
  EXPECT_THAT(stream, HasSubstr("event: records"));
  server.Stop();
  serving.join();
}

}  // namespace
}  // namespace tarvo::line
