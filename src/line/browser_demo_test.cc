// A line of the tests' own for the browser test and the README's screenshots: a PostgreSQL
// server with a morning of station runs of the simulated printer, and tarvo-line over it.
// Prints "url URL" when serving; each line "run" on standard input runs one more printer
// through both stations ("ran" when its records are in); ends at the end of the input.
#include <future>
#include <iostream>
#include <thread>

#include "line/line_records_test.h"
#include "line/line_server.h"
#include "line/watcher.h"
#include "records/line_database.h"
#include "records/pg_server_test.h"
#include "testing/scratch_dir.h"

int main() {
  using namespace tarvo;
  records::testing::PgServer* pg = records::testing::PgServer::Get();
  if (!pg) {
    std::cout << "skip " << records::testing::PgServer::why() << std::endl;
    return 77;
  }
  const std::string admin = pg->conninfo();
  const std::string owner = "host=" + pg->dir() + " dbname=demo user=tarvo";
  const std::string reader = "host=" + pg->dir() + " dbname=demo user=reports";
  auto psql = [&](const std::string& db, const std::string& sql) {
    return std::system(
               (pg->psql() + " -q -X -d \"" + db + "\" -c \"" + sql + "\" >/dev/null").c_str()) ==
           0;
  };
  records::LineDatabase setup(owner);
  if (!psql(admin, "CREATE DATABASE demo") || !setup.Setup() ||
      !psql(owner, "CREATE ROLE reports LOGIN IN ROLE tarvo_reader")) {
    std::cout << "failed to set up the line database: " << setup.error() << std::endl;
    return 1;
  }

  tarvo::testing::ScratchDir scratch;
  tarvo::testing::DeviceRig rig;
  line::testing::PrepareRig(rig);
  // Today, so the pages' default ranges show the records.
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_hour = std::max(0, local.tm_hour - 1);
  rig.clock.SetLocalTime(local);
  records::RecordKeeper keeper({scratch.File("records.sqlite"),
                                owner,
                                {"station-b", "0.1.0", "program"},
                                [](const std::string& w) { std::cerr << w << std::endl; }},
                               rig.clock);
  line::testing::RunMorning(rig, keeper);
  // A record from elsewhere whose head ID is markup.
  {
    records::RecordKeeper other({scratch.File("other.sqlite"),
                                 owner,
                                 {"station-x", "0.1.0", "program"},
                                 [](const std::string& w) { std::cerr << w << std::endl; }},
                                rig.clock);
    StepRecord step;
    step.station = 1;
    step.position = 1;
    step.text = " 2. Input Head ID";
    step.started = step.ended = "2026-01-01T00:00:00";
    step.total = 1;
    step.printer = {"031", "ABC09", "<script>alert(1)</script>"};
    other.Record(step);
  }

  line::ServerOptions options;
  options.port = 0;
  line::LineServer server(
      options, [&](std::string* e) { return records::OpenLineDatabaseReader(reader, e); });
  std::string error;
  if (!server.Bind(&error)) {
    std::cout << "failed: " << error << std::endl;
    return 1;
  }
  std::promise<void> listening;
  line::NotifyWatcher watcher(
      reader, server.hub(), [](const std::string& w) { std::cerr << w << std::endl; },
      [&, once = true]() mutable {
        if (once) listening.set_value();
        once = false;
      });
  listening.get_future().wait();
  std::thread serving([&] { server.Run(); });
  std::cout << "url http://127.0.0.1:" << server.port() << "/" << std::endl;

  int printer = 5;
  for (std::string line; std::getline(std::cin, line);) {
    if (line != "run") continue;
    rig.ctx.records = &keeper;
    records::testing::StationRun run(rig);
    line::testing::FreshPrinter(rig);
    run.Station1("HEAD0" + std::to_string(printer++));
    run.Station2();
    rig.ctx.records = nullptr;
    std::cout << "ran" << std::endl;
  }
  server.Stop();
  serving.join();
  return 0;
}
