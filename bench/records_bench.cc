// What putting a station step on record costs: the StepRecording of one Station 2 step and the
// journal entry of one head data block write, into the machine's records file (SQLite), against
// the same with no record sink; then whole steps run by the step runner on the simulated printer
// in virtual time ("2-8. Print - Nozzle Check", and "3-1. Print - TOF", which writes the head data
// block), with the records file and without a sink: the difference is what recording adds.
//
//   build/bench/records_bench [STEPS]      (default 2000)
//
// Reports the mean and the 99th percentile per step; the goal is under 1 ms with SQLite. Last, the
// runner's steps with a line database that never answers: no slower than with the file alone.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "model/step_recording.h"
#include "protocol/eeprom.h"
#include "records/record_keeper.h"
#include "station/station_test_rig.h"
#include "testing/device_rig.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

constexpr std::array<std::string_view, 13> kSlots = {
    "CT",     "Nozzle Check", "TOF", "MS1",   "MS2",  "VSD",     "ECN",
    "G0S A4", "DisCharge",    "S/F", "Photo", "Card", "Envelope"};

// Runs `steps` steps and returns the time of the recording part of each, in ms: the step's own
// printer traffic (one head block read) is left out of the figure.
std::vector<double> Run(tarvo::testing::DeviceRig& rig, int steps) {
  std::vector<double> times;
  std::array<uint8_t, 13> results;
  results.fill(2);
  tarvo::HeadBlock working{}, read{};
  const tarvo::StationSettingsRecord settings{"031", "ABC", "01", "CT"};
  for (int i = 0; i < steps; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    tarvo::StepRecording rec(rig.ctx, 2, 5, "    2-1. Nozzle Cleaning - CL1 / Print - Nozzle Check",
                             results);
    const auto t1 = std::chrono::steady_clock::now();
    tarvo::ReadData(rig.ctx, rig.link, read);
    const auto t2 = std::chrono::steady_clock::now();
    results[1] = static_cast<uint8_t>(i % 2);
    rec.SlotSet(1, kSlots[1], results[1]);
    rec.Finish(results, kSlots, 2, working, read, settings);
    const auto t3 = std::chrono::steady_clock::now();
    times.push_back(Ms(t1 - t0).count() + Ms(t3 - t2).count());
  }
  return times;
}

// Runs Station 2 position `position` `steps` times by the step runner, the operator answering
// with `answers` each time; the wall time of each double-click, in ms.
std::vector<double> RunnerSteps(tarvo::station::StationRig& rig, int position,
                                std::initializer_list<const char*> answers, int steps) {
  std::vector<double> times;
  for (int i = 0; i < steps; ++i) {
    for (const char* a : answers) rig.op.QueueDialogLine(a);
    const auto t0 = std::chrono::steady_clock::now();
    rig.runner.Run(position);
    times.push_back(Ms(std::chrono::steady_clock::now() - t0).count());
    rig.Forget();
  }
  return times;
}

void Report(const char* what, std::vector<double> times) {
  double sum = 0;
  for (double t : times) sum += t;
  std::sort(times.begin(), times.end());
  std::printf("%-34s mean %.3f ms  median %.3f ms  p99 %.3f ms  max %.3f ms\n", what,
              sum / times.size(), times[times.size() / 2], times[times.size() * 99 / 100],
              times.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int steps = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("records-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);

  tarvo::testing::DeviceRig rig;
  rig.Open();
  Report("no record sink", Run(rig, steps));

  tarvo::records::RecordKeeper keeper(
      {(dir / "records.sqlite").string(), "", {"bench", "0", "program"}, {}, 60'000}, rig.clock);
  rig.ctx.records = &keeper;
  Run(rig, 20);  // opens the file and makes its schema
  Report("SQLite records file", Run(rig, steps));

  // One journalled head block write, beside the write's own traffic.
  std::vector<double> writes;
  tarvo::HeadBlock block{}, back{};
  for (int i = 0; i < steps / 4; ++i) {
    tarvo::ReadData(rig.ctx, rig.link, block);
    const auto t0 = std::chrono::steady_clock::now();
    tarvo::WriteDataVerify(rig.ctx, rig.link, block, back);
    writes.push_back(Ms(std::chrono::steady_clock::now() - t0).count());
  }
  Report("head block write, journalled", writes);
  rig.ctx.records = nullptr;
  writes.clear();
  for (int i = 0; i < steps / 4; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    tarvo::WriteDataVerify(rig.ctx, rig.link, block, back);
    writes.push_back(Ms(std::chrono::steady_clock::now() - t0).count());
  }
  Report("head block write, no record sink", writes);

  // Whole steps by the step runner, the printer taken through "1. Inital Device" first.
  tarvo::station::StationRig station;
  station.RunToDischarge();
  station.Forget();
  const int runs = std::max(steps / 10, 20);
  const std::initializer_list<const char*> nozzle = {"pass"};
  const std::initializer_list<const char*> tof = {"ok", "pass"};
  Report("runner 2-8, no record sink", RunnerSteps(station, 12, nozzle, runs));
  Report("runner 3-1, no record sink", RunnerSteps(station, 14, tof, runs));
  tarvo::records::RecordKeeper station_keeper(
      {(dir / "station.sqlite").string(), "", {"bench", "0", "program"}, {}, 60'000},
      station.clock);
  station.ctx.records = &station_keeper;
  RunnerSteps(station, 12, nozzle, 5);  // opens the file and makes its schema
  Report("runner 2-8, SQLite records file", RunnerSteps(station, 12, nozzle, runs));
  Report("runner 3-1, SQLite records file", RunnerSteps(station, 14, tof, runs));
  station.ctx.records = nullptr;

  // The same steps with a line database that takes the connection and never answers (a Unix
  // socket nobody reads), sent to from the keeper's thread: the steps take what the file takes;
  // the keeper's end waits its bound (2 s) and leaves the records in the file.
  const int silent = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = (dir / ".s.PGSQL.5432").string();
  socket_path.copy(address.sun_path, sizeof(address.sun_path) - 1);
  if (bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      listen(silent, 8) == 0) {
    tarvo::records::KeeperOptions hung;
    hung.local_path = (dir / "hung.sqlite").string();
    hung.line_url = "host=" + dir.string() + " dbname=line user=station";
    hung.origin = {"bench", "0", "program"};
    hung.background = true;
    auto end_start = std::chrono::steady_clock::now();
    {
      tarvo::records::RecordKeeper hung_keeper(hung, station.clock);
      station.ctx.records = &hung_keeper;
      RunnerSteps(station, 12, nozzle, 5);
      Report("runner 2-8, silent line database", RunnerSteps(station, 12, nozzle, runs));
      Report("runner 3-1, silent line database", RunnerSteps(station, 14, tof, runs));
      station.ctx.records = nullptr;
      end_start = std::chrono::steady_clock::now();
    }
    std::printf(
        "%-34s %.3f s\n", "keeper's end, silent database",
        std::chrono::duration<double>(std::chrono::steady_clock::now() - end_start).count());
  }
  close(silent);

  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return 0;
}
