#pragma once

#include <vector>

#include "base/operator.h"
#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"
#include "testing/device_rig.h"
#include "testing/station_folder.h"

namespace tarvo::pages {

// The host of the page tests: the simulated printer in virtual time with a station folder of its
// own (stand-in chart files, the settings files) and the station data; its operations run at once
// on the calling thread with the test operator, the views told before and after as the program's
// window tells them.
class TestPageHost : public PageHost {
 public:
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
  testing::StationFolder folder{rig.ctx};
  station::StationFiles files{folder.path()};
  StationData data;
  std::vector<PageView*> views;  // told of every operation
  int runs = 0;
  int aborted = 0;

 private:
  bool busy_ = false;
};

}  // namespace tarvo::pages
