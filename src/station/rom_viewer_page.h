#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/chart_label.h"
#include "model/rom_layout.h"
#include "model/rom_summary.h"
#include "model/station_data.h"
#include "station/device_frame.h"

namespace tarvo::station {

// Checks the customer code in read block bytes 0-2 against the Station 2 settings; on success it
// puts the Jig No. or "CT" into the chart label record. Tells the operator when they differ.
using CustomerCheck = std::function<bool(const HeadBlock& read_block, ChartLabel& chart_label)>;

// What the right-hand side of the viewer shows, filled from the ROM summary record.
struct ViewerDisplay {
  std::string customer_setting;  // 1296, summary 0-2
  std::string usb_id;            // 1297, 9-26
  std::string head_id;           // 1298, 3-8
  std::string model;             // 1299 "Modal", 27-32
  std::string fw_version;        // 1302, 37-40
  int32_t ink_charge = 0;        // 1185, 65
  int32_t nozzle_cleaning = 0;   // 1303, 69
  int32_t tof = 0;               // 1094, 41
  int32_t left_margin = 0;       // 1300, 45
  int32_t ms1 = 0;               // 1259, 49
  int32_t ms2 = 0;               // 1260, 53
  int32_t vsd = 0;               // 1262, 57
  int32_t ecn = 0;               // 1263, 61
  int init_stuff = 0;            // 1301, 73
  int ft_flag = 0;               // 1279, 74
};

// The group box a display value sits in: none (the printer's identity), "Adjustment Value" (the
// integers) or "Flag" (the two flags).
enum class ViewerGroup { kNone, kAdjustmentValue, kFlag };
std::string_view GroupCaption(ViewerGroup group);

// One display value with its control and label, in the order of the page.
struct ViewerField {
  int id;
  std::string_view label;
  std::optional<std::string> text;  // text fields
  int64_t number = 0;               // the others
  ViewerGroup group = ViewerGroup::kNone;
};
std::vector<ViewerField> FieldsOf(const ViewerDisplay& display);

// The display values of a summary record. Text fields show their bytes as single-byte
// characters up to the first zero byte.
ViewerDisplay DisplayOf(std::span<const uint8_t, kLibrarySummarySize> summary);

// The "ShowROMData" page (213): a drop-down of three operation lists, the list of the chosen one,
// and the printer's identity, adjustment values, flags and counters from the ROM summary record.
// A double-click runs the entry in the device-action frame, puts the chart label record's ink
// charge and nozzle cleaning counts into the record and shows the record again (unless a customer
// check failed).
class RomViewerPage {
 public:
  // `data` is the station's run-time data, shared with the operation page: one per process.
  RomViewerPage(const Context& ctx, PrinterLink& link, StationData& data, CustomerCheck check);

  static std::span<const std::string_view> DropDownTexts();  // "OOB ", "QRE ", "Product Line"
  // The entries of list `index`; empty for an index outside 0-2.
  static std::vector<std::string> ListTexts(int index);

  // Page initialisation: the record cleared, "OOB " chosen, its list shown.
  void Initialise();
  // A new choice in the drop-down box: the list of that index (an index outside 0-2 shows none).
  void Choose(int index);
  // The operator typed into the drop-down box: the list empties until an entry is chosen.
  void EditDropDownText(std::string text);

  int drop_down_index() const { return drop_down_index_; }
  const std::string& drop_down_text() const { return drop_down_text_; }
  const std::vector<std::string>& entries() const { return entries_; }

  // A double-click on list entry `entry` (nothing: no entry under the pointer).
  PageRun DoubleClick(std::optional<int> entry);

  const RomSummary& summary() const { return summary_; }
  const ViewerDisplay& display() const { return display_; }

 private:
  // Runs entry `entry` of list `list`; `refresh` is cleared when the display must stay as it is.
  PageRun RunEntry(int list, int entry, bool& refresh);
  PageRun ReadRomData(bool check_customer, bool& refresh);
  Outcome CleanAndCheck(int mode, bool print);
  Outcome Print(uint32_t chart);

  const Context& ctx_;
  PrinterLink& link_;
  StationData& data_;
  CustomerCheck check_;
  RomSummary summary_{};
  ViewerDisplay display_;
  int drop_down_index_ = -1;
  std::string drop_down_text_;
  std::vector<std::string> entries_;
};

}  // namespace tarvo::station
