#include "station/rd_page.h"

#include <algorithm>
#include <array>
#include <string>

#include "operations/catalogue.h"

namespace tarvo::station {
namespace {

constexpr std::array<std::string_view, RdPage::kEntryCount> kEntries = {
    " 1. Change Ink Charge Flag",
    " 2. Show FW Version",
    " 3. Set ROM Data to Init Value",
    " 4. Load ROM Data From File",
    " 5. Save ROM Data to File",
    " 6. Motor Move",
    " 7. Dump ROM Data",
    " 8. Dump ROM Data & Set initial value",
    " 9. Update FW",
    "10. Motor Lock/Unlock/Hold/Release",
    "11. PowerOff",
    "12. Transfer 0071 data to 0073 data",
    "13. Dump Fatal Error Code",
};

char Folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The order of a sorted list box: case does not count.
bool ListOrder(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

}  // namespace

RdPage::RdPage(const Context& ctx, PrinterLink& link, StationData& data)
    : ctx_(ctx), link_(link), data_(data) {}

std::span<const std::string_view> RdPage::EntryTexts() {
  return kEntries;
}

void RdPage::Initialise() {
  entries_.assign(kEntries.begin(), kEntries.end());
  std::stable_sort(entries_.begin(), entries_.end(), ListOrder);
  selection_.reset();
}

void RdPage::Select(int position) {
  if (position >= 0 && position < static_cast<int>(entries_.size())) {
    selection_ = position;
  } else {
    selection_.reset();
  }
}

PageRun RdPage::DoubleClick() {
  PageRun run;
  std::optional<int> position = selection_;
  if (position) run.entry = entries_[*position];
  bool opened = RunInDeviceFrame(link_, [&] {
    if (!position) return;
    run.kind = RunEnd::kRan;
    run.outcome = RunPosition(*position);
  });
  if (!opened) run.kind = RunEnd::kOffline;
  return run;
}

Outcome RdPage::RunPosition(int position) {
  std::string version;
  uint8_t code = 0;
  switch (position) {
    case 0:
      return catalogue::SetCharge(ctx_, link_, data_);
    case 1:
      return catalogue::ReadFW(ctx_, link_, data_, version);
    case 2:
      return catalogue::ResetAll(ctx_, link_, data_);
    case 3:
      return catalogue::LoadFile(ctx_, link_, data_);
    case 4:
      return catalogue::SaveFile(ctx_, link_, data_);
    case 5:
      return catalogue::MotorMoveTest(ctx_, link_, data_);
    case 6:
      return catalogue::DumpData(ctx_, link_, data_, 0);
    case 7:
      return catalogue::DumpData(ctx_, link_, data_, 1);
    case 8:
      return catalogue::UpdateFW(ctx_, link_, data_);
    case 9:
      return catalogue::MotorAction(ctx_, link_, data_);
    case 10:
      return catalogue::PowerOffTest(ctx_, link_, data_);
    case 11:
      return catalogue::Transferflag(ctx_, link_, data_);
    case 12:
      return catalogue::ReadFatalErrorCode(ctx_, link_, data_, code);
    default:
      return Outcome::NotDone("no such entry");
  }
}

}  // namespace tarvo::station
