#pragma once

#include <memory>
#include <string_view>

#include "base/context.h"
#include "base/operator.h"
#include "dialogs/measure_result_dialog.h"
#include "link/printer_link.h"
#include "station/device_frame.h"

namespace tarvo::station {

// The two measurements: the head, its dot file and how many dots the file prints.
enum class MeasureKind { kMono, kColour };

struct MeasureKindInfo {
  std::string_view caption;   // the measurement dialog's caption
  std::string_view name;      // the kind as the records name it, "Mono"
  std::string_view dot_file;  // a print file of the station folder
  double dots;
};
const MeasureKindInfo& InfoOf(MeasureKind kind);

// The "DotWeight" page (201): the mean ink mass per dot. The engineer weighs the cartridge, has
// the page print the dot file three times, weighs again, and the measurement dialog turns the
// difference into nanograms per dot. Every device action runs in a frame of its own (open, act,
// close; nothing when the open fails).
class DotWeightPage {
 public:
  DotWeightPage(const Context& ctx, PrinterLink& link);

  // "Cleanning": one CL1 cleaning, counted in a scratch chart label record that is then dropped.
  PageRun Clean();

  // "Print Nozzle Check": the nozzle check chart's first print file and, only when it went out,
  // the second. No header page.
  PageRun PrintNozzleCheck();

  // "Mono Dot Weight", "CMY Dot Weight": the measurement dialog for `kind`, shown until the
  // operator leaves it. Its "Print File" sends the dot file three times, 60 s after each send
  // that went out, stopping at the first that did not, and closes the link in every case. Every
  // "Measure" goes on record (kind, the two weights, average, limits, verdict) when the showing
  // it was made in ends, for the printer whose head data block is read as the dialog opens (only
  // when records are kept; the printer last seen may have been replaced since).
  DialogResult Measure(MeasureKind kind);

  // The dialog of the last measurement opened, as it was left (its members).
  const MeasureResultDialog* last_measurement() const { return last_.get(); }
  // The dot count of the last measurement opened (0 before the first).
  double dots() const { return dots_; }

 private:
  void RecordMeasured(const MeasureKindInfo& info);
  void IdentifyPrinter();

  const Context& ctx_;
  PrinterLink& link_;
  double dots_ = 0;
  std::unique_ptr<MeasureResultDialog> last_;
};

}  // namespace tarvo::station
