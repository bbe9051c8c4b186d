#include "station/rom_viewer_page.h"

#include <algorithm>
#include <utility>

#include "charts/chart_table.h"
#include "model/printer_text.h"
#include "operations/catalogue.h"

namespace tarvo::station {
namespace {

constexpr std::array<std::string_view, 3> kDropDown = {"OOB ", "QRE ", "Product Line"};

// Lists 0 and 1; the last entry differs.
constexpr std::array<std::string_view, 15> kServiceEntries = {
    " 1. Read ROM Data",
    " 2. -------------------------------",
    "     2-1. Nozzle-Cleanning CL1/  Print Nozzle Check",
    "     2-2. Nozzle-Cleanning CL1D/  Print Nozzle Check",
    "     2-3. Nozzle-Cleanning CL2/  Print Nozzle Check",
    "     2-4. ----------",
    "     2-5. Nozzle-Cleanning CL1",
    "     2-6. Nozzle-Cleanning CL1D",
    "     2-7. Nozzle-Cleanning CL2",
    "     2-8. Print Nozzle Check",
    " 3. Print GOS A4",
    " 4. Print S/F Letter",
    " 5. Print Post Card",
    " 6. Print Envelope",
    " 7. Ink DisCharge",
};
constexpr std::array<std::string_view, 2> kShippingEntries = {" 8. Set Shippment State",
                                                              " 8. Set Experiment State"};

constexpr std::array<std::string_view, 5> kProductLineEntries = {
    " 1. Read ROM Data", " 2. Update FW", " 3. Set Initial Value", " 4. Set FT Flag",
    " 5. Set Init Flag"};

// Cleaning modes of the "CH" command.
constexpr int kCl1 = 1;
constexpr int kCl2 = 2;
constexpr int kCl1d = 3;

// Chart numbers.
constexpr uint32_t kGosA4 = 0;
constexpr uint32_t kSfLetter = 1;
constexpr uint32_t kPostCard = 3;
constexpr uint32_t kEnvelope = 4;

// Bytes as printer text, up to the first zero byte.
std::string Chars(std::span<const uint8_t, kLibrarySummarySize> r, size_t at, size_t n) {
  std::span<const uint8_t> bytes = std::span<const uint8_t>(r).subspan(at, n);
  auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return DecodePrinterText(bytes.first(static_cast<size_t>(end - bytes.begin())));
}

}  // namespace

ViewerDisplay DisplayOf(std::span<const uint8_t, kLibrarySummarySize> r) {
  ViewerDisplay d;
  d.customer_setting = Chars(r, summary::kModelName, 3);
  d.usb_id = Chars(r, summary::kUsbSerialNo, 18);
  d.head_id = Chars(r, summary::kHeadId, 6);
  d.model = Chars(r, summary::kModel, summary::kModelSize);
  d.fw_version = Chars(r, summary::kFwVersion, 4);
  d.ink_charge = SummaryInt(r, summary::kInkChargeCount);
  d.nozzle_cleaning = SummaryInt(r, summary::kNozzleCleaningCount);
  d.tof = SummaryInt(r, summary::kTof);
  d.left_margin = SummaryInt(r, summary::kLeftMargin);
  d.ms1 = SummaryInt(r, summary::kMs1);
  d.ms2 = SummaryInt(r, summary::kMs2);
  d.vsd = SummaryInt(r, summary::kVsd);
  d.ecn = SummaryInt(r, summary::kEcn);
  d.init_stuff = r[summary::kInitialStuffFlag];
  d.ft_flag = r[summary::kFtFlag];
  return d;
}

std::string_view GroupCaption(ViewerGroup group) {
  switch (group) {
    case ViewerGroup::kAdjustmentValue:
      return "Adjustment Value";
    case ViewerGroup::kFlag:
      return "Flag";
    case ViewerGroup::kNone:
      break;
  }
  return "";
}

std::vector<ViewerField> FieldsOf(const ViewerDisplay& d) {
  constexpr ViewerGroup kAdjust = ViewerGroup::kAdjustmentValue;
  constexpr ViewerGroup kFlag = ViewerGroup::kFlag;
  return {{1296, "Customer Setting", d.customer_setting},
          {1297, "USB ID", d.usb_id},
          {1298, "Head ID", d.head_id},
          {1299, "Modal", d.model},
          {1302, "FW Ver.", d.fw_version},
          {1185, "Ink Charge", std::nullopt, d.ink_charge, kAdjust},
          {1303, "Nozzle Cleanning", std::nullopt, d.nozzle_cleaning, kAdjust},
          {1094, "TOF", std::nullopt, d.tof, kAdjust},
          {1300, "Left Margin", std::nullopt, d.left_margin, kAdjust},
          {1259, "MS1", std::nullopt, d.ms1, kAdjust},
          {1260, "MS2", std::nullopt, d.ms2, kAdjust},
          {1262, "VSD", std::nullopt, d.vsd, kAdjust},
          {1263, "ECN", std::nullopt, d.ecn, kAdjust},
          {1301, "Init Stuff", std::nullopt, d.init_stuff, kFlag},
          {1279, "FT Flag", std::nullopt, d.ft_flag, kFlag}};
}

RomViewerPage::RomViewerPage(const Context& ctx, PrinterLink& link, StationData& data,
                             CustomerCheck check)
    : ctx_(ctx), link_(link), data_(data), check_(std::move(check)) {}

std::span<const std::string_view> RomViewerPage::DropDownTexts() {
  return kDropDown;
}

std::vector<std::string> RomViewerPage::ListTexts(int index) {
  std::vector<std::string> out;
  if (index == 0 || index == 1) {
    out.assign(kServiceEntries.begin(), kServiceEntries.end());
    out.emplace_back(kShippingEntries[index]);
  } else if (index == 2) {
    out.assign(kProductLineEntries.begin(), kProductLineEntries.end());
  }
  return out;
}

void RomViewerPage::Initialise() {
  summary_.fill(0);
  display_ = DisplayOf(summary_);
  Choose(0);
}

void RomViewerPage::Choose(int index) {
  drop_down_index_ = index;
  drop_down_text_ =
      index >= 0 && index < static_cast<int>(kDropDown.size()) ? std::string(kDropDown[index]) : "";
  entries_ = ListTexts(index);
}

void RomViewerPage::EditDropDownText(std::string text) {
  drop_down_index_ = -1;
  drop_down_text_ = std::move(text);
  entries_.clear();
}

PageRun RomViewerPage::DoubleClick(std::optional<int> entry) {
  PageRun run;
  bool refresh = false;
  bool opened = RunInDeviceFrame(link_, [&] {
    refresh = true;
    if (entry && *entry >= 0 && *entry < static_cast<int>(entries_.size())) {
      run = RunEntry(drop_down_index_, *entry, refresh);
      run.entry = entries_[*entry];
    }
  });
  if (!opened) {
    run.kind = RunEnd::kOffline;
    return run;
  }
  // The counts go into the record as the signed bytes they are.
  SetSummaryInt(summary_, summary::kInkChargeCount,
                static_cast<int8_t>(data_.chart_label.ink_charges));
  SetSummaryInt(summary_, summary::kNozzleCleaningCount,
                static_cast<int8_t>(data_.chart_label.nozzle_cleanings));
  if (refresh) display_ = DisplayOf(summary_);
  return run;
}

PageRun RomViewerPage::ReadRomData(bool check_customer, bool& refresh) {
  PageRun run{RunEnd::kRan, {}, {}};
  Outcome read = catalogue::DumpTransferROMData(ctx_, link_, data_, summary_);
  if (!read) {
    // Nothing was read: the record still holds the last printer's values, which must neither be
    // checked nor shown as this printer's, and this printer's counts stay.
    refresh = false;
    run.outcome = read;
    return run;
  }
  data_.chart_label.ink_charges = 0;
  data_.chart_label.nozzle_cleanings = 0;
  if (!check_customer) return run;
  std::copy_n(summary_.begin() + summary::kModelName, 3, data_.read_block.begin());
  refresh = check_ && check_(data_.read_block, data_.chart_label);
  if (!refresh)
    run.outcome = Outcome::NotDone("the customer does not match the Station 2 settings");
  return run;
}

Outcome RomViewerPage::Print(uint32_t chart) {
  HeadBlock head = data_.working_block;
  return catalogue::PrintChart(ctx_, link_, data_, head, chart);
}

Outcome RomViewerPage::CleanAndCheck(int mode, bool print) {
  Outcome outcome = catalogue::NozzleClean(ctx_, link_, data_, mode);
  if (!print) return outcome;
  Outcome printed = Print(kNozzleCheckChart);
  return outcome ? printed : outcome;
}

PageRun RomViewerPage::RunEntry(int list, int entry, bool& refresh) {
  PageRun ran{RunEnd::kRan, {}, {}};
  if (list == 0 || list == 1) {
    switch (entry) {
      case 0:
        return ReadRomData(true, refresh);
      case 2:
        ran.outcome = CleanAndCheck(kCl1, true);
        return ran;
      case 3:
        ran.outcome = CleanAndCheck(kCl1d, true);
        return ran;
      case 4:
        ran.outcome = CleanAndCheck(kCl2, true);
        return ran;
      case 6:
        ran.outcome = CleanAndCheck(kCl1, false);
        return ran;
      case 7:
        ran.outcome = CleanAndCheck(kCl1d, false);
        return ran;
      case 8:
        ran.outcome = CleanAndCheck(kCl2, false);
        return ran;
      case 9:
        ran.outcome = Print(kNozzleCheckChart);
        return ran;
      case 10:
        ran.outcome = Print(kGosA4);
        return ran;
      case 11:
        ran.outcome = Print(kSfLetter);
        return ran;
      case 12:
        ran.outcome = Print(kPostCard);
        return ran;
      case 13:
        ran.outcome = Print(kEnvelope);
        return ran;
      case 14:
        ran.outcome = catalogue::InkDisChargeNoPowerOff(ctx_, link_, data_, 0);
        return ran;
      case 15:
        ran.outcome = catalogue::UpdateShippingFW(ctx_, link_, data_, list);
        return ran;
      default:  // the two separators
        return {};
    }
  }
  if (list == 2) {
    switch (entry) {
      case 0:
        return ReadRomData(false, refresh);
      case 1:
        ran.outcome = catalogue::UpdateFW(ctx_, link_, data_);
        return ran;
      case 2:
        ran.outcome = catalogue::SetInitialValue(ctx_, link_, data_);
        return ran;
      case 3:
        ran.outcome = catalogue::SetFTFlag(ctx_, link_, data_);
        return ran;
      case 4:
        ran.outcome = catalogue::SetInitialStuff(ctx_, link_, data_);
        return ran;
      default:
        break;
    }
  }
  return {};
}

}  // namespace tarvo::station
