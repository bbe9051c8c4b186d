#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/station_data.h"
#include "station/device_frame.h"

namespace tarvo::station {

// The "RD Setting" page (192): thirteen engineering operations on the ROM data, the firmware and
// the motors in one sorted list. A double-click runs the selected entry in the device-action
// frame; the operations show their own dialogs and messages, the page adds none. The selection is
// cleared whenever the list loses the focus, so an entry is selected and double-clicked in one go.
class RdPage {
 public:
  static constexpr int kEntryCount = 13;

  RdPage(const Context& ctx, PrinterLink& link, StationData& data);

  // The entries in the order they are added; the list shows them sorted (Initialise).
  static std::span<const std::string_view> EntryTexts();

  // Page initialisation: fills the list. The leading blank of the one-digit numbers sorts them
  // before "10." ... "13.", so the list position is the entry number minus one.
  void Initialise();
  const std::vector<std::string>& entries() const { return entries_; }

  // The operator selects list position `position`; one outside the list selects nothing.
  void Select(int position);
  std::optional<int> selection() const { return selection_; }
  // The list lost the focus (another page's tab, another control): nothing stays selected.
  void FocusLost() { selection_.reset(); }

  // A double-click: opens the link, runs the selected entry's operation (none without a
  // selection), closes the link.
  PageRun DoubleClick();

 private:
  Outcome RunPosition(int position);

  const Context& ctx_;
  PrinterLink& link_;
  StationData& data_;
  std::vector<std::string> entries_;
  std::optional<int> selection_;
};

}  // namespace tarvo::station
