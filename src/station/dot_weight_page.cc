#include "station/dot_weight_page.h"

#include <array>
#include <memory>
#include <string>

#include "charts/print_chart.h"
#include "model/station_data.h"
#include "model/step_recording.h"
#include "operations/catalogue.h"
#include "protocol/eeprom.h"
#include "station/device_frame.h"

namespace tarvo::station {
namespace {

constexpr MeasureKindInfo kMono{"Mono Measure", "Mono", "KDot.prn", 33'708'960};
constexpr MeasureKindInfo kColour{"CMY Measure", "CMY", "CMYDot.prn", 31'602'150};

constexpr int kCleaningMode = 1;  // CL1

}  // namespace

const MeasureKindInfo& InfoOf(MeasureKind kind) {
  return kind == MeasureKind::kMono ? kMono : kColour;
}

DotWeightPage::DotWeightPage(const Context& ctx, PrinterLink& link) : ctx_(ctx), link_(link) {}

PageRun DotWeightPage::Clean() {
  PageRun run{RunEnd::kRan, "Cleanning", {}};
  bool opened = RunInDeviceFrame(link_, [&] {
    StationData scratch;  // its chart label record counts the cleaning, then goes
    run.outcome = catalogue::NozzleClean(ctx_, link_, scratch, kCleaningMode);
  });
  if (!opened) run.kind = RunEnd::kOffline;
  return run;
}

PageRun DotWeightPage::PrintNozzleCheck() {
  // The print opens and closes the link itself.
  PageRun run{RunEnd::kRan, "Print Nozzle Check", {}};
  run.outcome = tarvo::PrintNozzleCheck(ctx_, link_);
  return run;
}

void DotWeightPage::IdentifyPrinter() {
  // The page's own operations read nothing of the EEPROM, and the printer last seen may have
  // been replaced since: with records kept, the head data block is read once per measurement
  // dialog so that its records name the printer on the jig. Without records, no traffic.
  if (!ctx_.records) return;
  ctx_.records->ForgetPrinter();
  auto read = [&] {
    HeadBlock block{};
    ReadData(ctx_, link_, block);
  };
  if (link_.is_open()) {
    read();
  } else {
    RunInDeviceFrame(link_, read);
  }
}

DialogResult DotWeightPage::Measure(MeasureKind kind) {
  const MeasureKindInfo& info = InfoOf(kind);
  IdentifyPrinter();
  dots_ = info.dots;
  last_ = std::make_unique<MeasureResultDialog>(std::string(info.caption),
                                                std::string(info.dot_file), dots_);
  // "Print File" ends a showing; the print runs here, then the dialog is shown again as it was.
  for (;;) {
    DialogResult result = ctx_.op.ShowDialog(*last_);
    RecordMeasured(info);
    if (!last_->print_requested) return result;
    last_->print_requested = false;
    PrintMeasurementFile(ctx_, link_, last_->dot_file);
  }
}

void DotWeightPage::RecordMeasured(const MeasureKindInfo& info) {
  for (const MeasureResultDialog::Measured& m : last_->TakeMeasured()) {
    const double weights[] = {m.before_weight, m.after_weight};
    RecordDotWeight(ctx_, info.name, weights, m.average, m.minimum, m.maximum,
                    m.test_result == "PASS");
  }
}

}  // namespace tarvo::station
