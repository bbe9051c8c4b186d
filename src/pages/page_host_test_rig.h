#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "base/operator.h"
#include "charts/chart_table.h"
#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"
#include "testing/device_rig.h"

namespace tarvo::pages {

// The host of the page tests: the simulated printer in virtual time with a station folder of its
// own (stand-in chart files, the settings files) and the station data; its operations run at once
// on the calling thread with the test operator, the views told before and after as the program's
// window tells them.
class TestPageHost : public PageHost {
 public:
  TestPageHost() : folder(MakeFolder()), files(folder) {
    rig.ctx.station_dir = folder;
    for (const Chart& c : kCharts) {
      Write(std::string(c.first_file), 5000);
      Write(std::string(c.second_file), 3000);
    }
  }
  ~TestPageHost() override {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  void Write(const std::string& name, size_t size) const {
    std::ofstream(folder / name, std::ios::binary) << std::string(size, 'x');
  }

  const Context& ctx() const override { return rig.ctx; }
  PrinterLink& link() override { return rig.link; }
  bool busy() const override { return busy_; }

  bool RunOperation(Operation operation) override {
    if (busy_) return false;
    busy_ = true;
    for (PageView* v : views) v->SetDeviceBusy(true);
    try {
      operation(rig.ctx, rig.link);
    } catch (const OperatorAborted&) {
      ++aborted;
    }
    busy_ = false;
    for (PageView* v : views) {
      v->SetDeviceBusy(false);
      v->OperationEnded();
    }
    ++runs;
    return true;
  }

  testing::DeviceRig rig;
  std::filesystem::path folder;
  station::StationFiles files;
  StationData data;
  std::vector<PageView*> views;  // told of every operation
  int runs = 0;
  int aborted = 0;

 private:
  static std::filesystem::path MakeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-pages-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }

  bool busy_ = false;
};

}  // namespace tarvo::pages
