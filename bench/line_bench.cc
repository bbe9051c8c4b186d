// tarvo-line on a synthetic year of a line: 8 stations (4 hosts, Stations 1 and 2), ~2 M step
// records and their journal in the tests' own PostgreSQL server, each step through the hourly
// rollup's trigger; the median and 95th percentile of each endpoint, then 50 live connections
// that must each get every event.
//   build/bench/line_bench [steps]
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <thread>
#include <vector>

#include "line/line_server.h"
#include "records/line_database.h"
#include "records/pg_server_test.h"

using namespace tarvo;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  const long steps = argc > 1 ? std::atol(argv[1]) : 2'000'000;
  records::testing::PgServer* pg = records::testing::PgServer::Get();
  if (!pg) {
    std::cerr << records::testing::PgServer::why() << "\n";
    return 1;
  }
  const std::string owner = "host=" + pg->dir() + " dbname=bench user=tarvo";
  auto psql = [&](const std::string& db, const std::string& sql) {
    return std::system((pg->psql() + " -q -X -d \"" + db + "\" -c \"" + sql + "\"").c_str()) == 0;
  };
  psql(pg->conninfo(), "CREATE DATABASE bench");
  records::LineDatabase setup(owner);
  if (!setup.Setup()) {
    std::cerr << setup.error() << "\n";
    return 1;
  }
  const auto load = Clock::now();
  // A year: steps spread evenly, 29 to a printer, one printer in 40 failing its TOF.
  const std::string n = std::to_string(steps);
  // Columns by name, so the load follows the tables as Setup() makes them.
  psql(owner,
       "INSERT INTO tarvo_steps (uid, host, tool_version, edition, station_no, belt_name, pc_name, "
       "jig_no, station, position, text, started, ended, total, model_code, usb_serial, head_id, "
       "tof, ms1, ms2, vsd, ecn, destination, belt, pc, jig, model_code_hex, usb_serial_hex, "
       "head_id_hex, started_utc, ended_utc, machine_no, machine_id, slots, received) "
       "SELECT md5(i::text), 'host-' || (i / 29 % 4), '0.1', 'program', 1 + (i % 29 >= 2)::int, "
       "'B1', 'PC' || (i / 29 % 4), 'CT', 1 + (i % 29 >= 2)::int, i % 29, 'step ' || (i % 29), "
       "to_char(t, 'YYYY-MM-DD\\\"T\\\"HH24:MI:SS'), to_char(t, 'YYYY-MM-DD\\\"T\\\"HH24:MI:SS'), "
       "CASE WHEN i / 29 % 40 = 0 AND i % 29 >= 15 THEN 0 ELSE 1 END, '031', 'SN' || (i / 29), "
       "'H' || (i / 29), (i / 29) % 5, (i / 29) % 7 - 3, 0, 0, 0, '031', 'B1', 'PC', 'CT', '', "
       "'', '', t, t, '', 'M' || (i / 29), "
       "CASE WHEN i / 29 % 40 = 0 AND i % 29 = 15 THEN "
       "'[{\\\"slot\\\":2,\\\"name\\\":\\\"TOF\\\",\\\"result\\\":0}]'::jsonb ELSE "
       "'[{\\\"slot\\\":0,\\\"name\\\":\\\"CT\\\",\\\"result\\\":1}]'::jsonb END, now() "
       "FROM generate_series(1, " +
           n +
           ") i, "
           "LATERAL (SELECT now() - interval '365 days' * (1 - i::float / " +
           n + ")) x(t)");
  psql(owner,
       "INSERT INTO tarvo_journal (uid, host, tool_version, edition, station_no, belt_name, "
       "pc_name, jig_no, operation, time, model_code, usb_serial, head_id, area, before_bytes, "
       "written_bytes, read_back_bytes, check_result, model_code_hex, usb_serial_hex, head_id_hex, "
       "time_utc, received) "
       "SELECT md5('j' || i), 'host-0', '0.1', 'program', 1, 'B1', 'PC0', 'CT', 'TOF', "
       "to_char(now(), 'YYYY-MM-DD'), '031', 'SN' || i, 'H' || i, 'head block', "
       "'\\\\x00'::bytea, '\\\\x01'::bytea, '\\\\x01'::bytea, 'verified', '', '', '', now(), "
       "now() FROM generate_series(1, " +
           std::to_string(steps / 29 * 2) + ") i");
  // Loaded in one statement, each step's rollup row rewritten in place; a year of arrivals with
  // autovacuum leaves it compact.
  psql(owner, "VACUUM FULL tarvo_step_hours");
  psql(owner, "ANALYZE");
  std::printf("loaded %ld steps in %.1f s\n", steps,
              std::chrono::duration<double>(Clock::now() - load).count());

  const std::string reader = owner;
  line::ServerOptions options;
  options.port = 0;
  line::LineServer server(
      options, [&](std::string* e) { return records::OpenLineDatabaseReader(reader, e); });
  const std::string last = "H" + std::to_string(steps / 29 - 3);
  struct Case {
    const char* endpoint;
    std::map<std::string, std::string> params;
  };
  auto day = [](int days_ago) {
    const std::time_t t = std::time(nullptr) - days_ago * 86400L;
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&t));
    return std::string(text);
  };
  // Pages open on the last seven days; a month and the whole year are what people widen it to.
  const std::vector<Case> cases = {
      {"/api/now", {}},
      {"/api/yield", {}},
      {"/api/yield", {{"by", "shift"}}},
      {"/api/yield", {{"from", day(30)}}},
      {"/api/yield", {{"from", day(366)}}},
      {"/api/failures", {}},
      {"/api/failures/printers", {{"slot", "TOF"}}},
      {"/api/adjustments", {}},
      {"/api/adjustments", {{"from", day(30)}}},
      {"/api/adjustments", {{"from", day(366)}}},
      {"/api/failures", {{"from", day(366)}}},
      {"/api/dotweights", {}},
      {"/api/printers", {{"q", last}}},
      {"/api/printer", {{"head", last}}},
  };
  for (const Case& c : cases) {
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
      const auto start = Clock::now();
      const auto a = server.Query(c.endpoint, [&](const std::string& k) {
        return c.params.contains(k) ? c.params.at(k) : std::string();
      });
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      if (a.status != 200) std::cerr << c.endpoint << ": " << a.body.dump() << "\n";
    }
    std::sort(ms.begin(), ms.end());
    std::string params;
    for (const auto& [k, v] : c.params) params += " " + k + "=" + v;
    std::printf("%-24s%-22s median %7.1f ms  p95 %7.1f ms\n", c.endpoint, params.c_str(),
                ms[ms.size() / 2], ms[ms.size() * 95 / 100]);
  }

  // 50 browsers on the live page: every event reaches every one.
  std::string error;
  if (!server.Bind(&error)) return 1;
  std::thread serving([&] { server.Run(); });
  constexpr int kClients = 50, kEvents = 60;
  std::atomic<int> connected = 0;
  std::vector<int> got(kClients, 0);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client client("127.0.0.1", server.port());
      client.set_read_timeout(30, 0);
      std::string buffer;
      client.Get("/api/events", [&](const char* data, size_t size) {
        buffer.append(data, size);
        for (size_t at; (at = buffer.find("\n\n")) != std::string::npos; buffer.erase(0, at + 2)) {
          const std::string event = buffer.substr(0, at);
          if (event.find("event: hello") != std::string::npos) ++connected;
          if (event.find("event: records") != std::string::npos) ++got[c];
        }
        return got[c] < kEvents;
      });
    });
  }
  while (connected < kClients) std::this_thread::yield();
  const auto live = Clock::now();
  for (int e = 0; e < kEvents; ++e) {
    server.hub().Publish("tarvo_steps");
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  for (std::thread& t : clients) t.join();
  const int complete = static_cast<int>(std::count(got.begin(), got.end(), kEvents));
  std::printf("live: %d of %d connections got all %d events in %.0f s\n", complete, kClients,
              kEvents, std::chrono::duration<double>(Clock::now() - live).count());
  server.Stop();
  serving.join();
  return complete == kClients ? 0 : 1;
}
