#pragma once

#include <ctime>
#include <string>

#include "records/record_keeper.h"
#include "records/station_run_test.h"
#include "testing/device_rig.h"

namespace tarvo::line::testing {

// A printer fresh from the belt: an EEPROM of zeros but its model code.
inline void FreshPrinter(tarvo::testing::DeviceRig& rig) {
  RomImage& e = rig.printer.eeprom();
  e.fill(0);
  std::copy_n("031", 3, e.begin());
}

// A morning of the line made by real station runs of the simulated printer: HEAD01 passes,
// HEAD02 fails its TOF, HEAD03 its nozzle check; two dot weights, one outside its limits.
inline void RunMorning(tarvo::testing::DeviceRig& rig, records::RecordKeeper& keeper) {
  rig.ctx.records = &keeper;
  records::testing::StationRun run(rig);
  FreshPrinter(rig);
  run.Station1("HEAD01");
  run.Station2();
  FreshPrinter(rig);
  run.Station1("HEAD02");
  run.Station2(2);
  FreshPrinter(rig);
  run.Station1("HEAD03");
  run.Station2(1);
  PrinterIdentity printer{"031", "ABC01", "HEAD01"};
  const std::tm t = rig.clock.LocalTime();
  char day[16];
  std::strftime(day, sizeof day, "%Y-%m-%d", &t);
  keeper.Record(DotWeightRecord{
      "Mono", {45.0, 46.0}, 45.5, 40.7, 52.9, true, std::string(day) + "T09:40:00", printer});
  keeper.Record(DotWeightRecord{
      "CMY", {55.0, 54.0}, 54.5, 40.7, 52.9, false, std::string(day) + "T09:41:00", printer});
  rig.ctx.records = nullptr;
}

inline void PrepareRig(tarvo::testing::DeviceRig& rig) {
  FreshPrinter(rig);
  rig.clock.SetLocalTime(2026, 12, 8, 9, 0, 0);
  rig.Open();
}

}  // namespace tarvo::line::testing
