#include "station/step_runner.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/station_prompts.h"
#include "model/destinations.h"
#include "operations/alignment.h"
#include "operations/catalogue.h"
#include "station/station_settings.h"

namespace tarvo::station {
namespace {

// Station 1 slots.
constexpr size_t kGreaseSlot = 0;
constexpr size_t kHeadIdSlot = 1;
// Station 2 slots.
constexpr size_t kCtSlot = 0;
constexpr size_t kNozzleCheckSlot = 1;
constexpr size_t kTofSlot = 2;
constexpr size_t kFirstBiDSlot = 3;  // MS1, MS2, VSD, ECN
constexpr size_t kG0sSlot = 7;
constexpr size_t kDischargeSlot = 8;
constexpr size_t kFirstOptionalSlot = 9;  // S/F, Photo, Card, Envelope: count only when failed

// Charts the steps print.
constexpr uint32_t kG0sA4Chart = 0;

// Cleaning modes of NozzleClean.
constexpr int kCl1 = 1;
constexpr int kCl2 = 2;
constexpr int kCl1D = 3;

constexpr const char* kDischargeCaption = "DisCharge";

// The result codes of the EEPROM-writing operations the runner turns into slots.
constexpr int kNotVerified = 0;
constexpr int kWritten = 1;
constexpr int kOutOfRange = 3;

bool HasHeadId(std::span<const uint8_t, kHeadBlockSize> block) {
  return block[kHeadIdOffset] != 0x00 && block[kHeadIdOffset] != 0xFF;
}

bool SameHeadId(std::span<const uint8_t, kHeadBlockSize> a,
                std::span<const uint8_t, kHeadBlockSize> b) {
  return std::equal(a.begin() + kHeadIdOffset, a.begin() + kHeadIdOffset + kHeadIdSize,
                    b.begin() + kHeadIdOffset);
}

}  // namespace

StepRunner::StepRunner(const Context& ctx, PrinterLink& link, StationData& data,
                       const StationFiles& files)
    : ctx_(ctx), link_(link), data_(data), files_(files) {}

void StepRunner::Changed() {
  if (observer_) observer_();
}

std::span<const uint8_t> StepRunner::results() const {
  if (station1()) return data_.station1_results;
  return data_.station2_results;
}

uint8_t StepRunner::TotalResult() const {
  const auto r = results();
  if (std::find(r.begin(), r.end(), kResultFail) != r.end()) return kResultFail;
  // At Station 2 the optional prints count only when they failed.
  const auto mandatory = station1() ? r : r.first(kFirstOptionalSlot);
  if (std::find(mandatory.begin(), mandatory.end(), kResultNotRun) != mandatory.end())
    return kResultNotRun;
  return kResultPass;
}

void StepRunner::Initialise() {
  const uint8_t stored = files_.ReadStationIndex();
  page_.selection = stored <= 1 ? stored : -1;
  StationChange();
}

void StepRunner::SelectStation(int index) {
  page_.selection = index == 0 || index == 1 ? index : -1;
  StationChange();
}

void StepRunner::StationChange() {
  // With nothing selected the file keeps whatever it held.
  if (page_.selection >= 0) files_.WriteStationIndex(static_cast<uint8_t>(page_.selection));
  data_.read_block.fill(0);
  page_.Clear();
  ResetResults();
  if (station1()) {
    if (LoadStation1Settings(ctx_, files_, data_.working_block)) {
      page_.ShowHeadBlock(data_.working_block, data_.working_block, false);
    }
  }
  const auto list = StepList(station());
  page_.steps.assign(list.begin(), list.end());
  Changed();
}

void StepRunner::ResetResults() {
  if (station1()) {
    data_.station1_results.fill(kResultNotRun);
  } else {
    data_.station2_results.fill(kResultNotRun);
  }
  page_.ResetLabels(station());
  data_.rom_write_failures = 0;
}

void StepRunner::SetSlot(size_t slot, uint8_t result) {
  auto r = station1() ? std::span<uint8_t>(data_.station1_results)
                      : std::span<uint8_t>(data_.station2_results);
  if (slot >= r.size()) return;
  r[slot] = result;
  if (recording_)
    recording_->SlotSet(static_cast<int>(slot), SlotPlaces(station())[slot].text, result);
  page_.SetSlot(slot, result == kResultPass ? kGreen : result == kResultFail ? kRed : kBlack);
  Changed();
}

void StepRunner::WriteFailure(size_t slot) {
  SetSlot(slot, kResultFail);
  data_.CountRomWriteFailure();
}

void StepRunner::ShowTotal() {
  page_.ShowTotal(TotalResult(), data_.rom_write_failures);
  Changed();
}

void StepRunner::Epilogue() {
  const ChartLabel& label = data_.chart_label;
  page_.SetNumber(kInkChargeField, static_cast<int8_t>(label.ink_charges));
  page_.SetNumber(kCleanNozzleField, static_cast<int8_t>(label.nozzle_cleanings));
  page_.SetNumber(kTotalPrintField, static_cast<int8_t>(label.chart_prints));
  ShowTotal();
  if (recording_) {
    std::vector<std::string_view> names;
    for (const SlotPlace& place : SlotPlaces(station())) names.push_back(place.text);
    // At Station 1 the working block holds the station's settings, not what the printer
    // carries: a step that never read the printer (the grease) names no printer.
    const HeadBlock none{};
    recording_->Finish(results(), names, TotalResult(), station1() ? none : data_.working_block,
                       data_.read_block, SettingsRecord());
  }
  link_.HandleClose();
}

StationSettingsRecord StepRunner::SettingsRecord() const {
  auto destination = [](uint8_t index) {
    const Destination* row = FindDestination(index);
    return row ? std::string(row->code) : "index " + std::to_string(index);
  };
  // Each station's own file: a Station 2 host has no use for the belt and PC names, nor a
  // Station 1 host for the jig.
  StationSettingsRecord settings;
  if (station1()) {
    const std::array<uint8_t, 6> file = files_.ReadStation1();
    settings.destination = destination(file[0]);
    settings.belt = CharsText(std::span(file).subspan(1, 3));
    settings.pc = CharsText(std::span(file).subspan(4, 2));
  } else {
    const std::array<uint8_t, 3> file = files_.ReadStation2();
    settings.destination = destination(file[0]);
    settings.jig = CharsText(std::span(file).subspan(1, 2));
  }
  return settings;
}

void StepRunner::NameOperation(const std::string& name) const {
  if (ctx_.records) ctx_.records->BeginOperation(name);
}

RunEnd StepRunner::Run(int position) {
  const auto list = StepList(station());
  const std::string_view text =
      position >= 0 && static_cast<size_t>(position) < list.size() ? list[position] : "";
  // Made before the link opens; a step that finds the printer off line is not recorded.
  StepRecording recording(ctx_, station1() ? 1 : 2, position, text, results());
  if (!link_.HandleOpen()) return RunEnd::kOffLine;
  recording_ = &recording;
  struct Clear {
    StepRecording*& r;
    ~Clear() { r = nullptr; }
  } clear{recording_};
  RunEnd end = RunEnd::kRan;
  if (station1()) {
    RunStation1(position);
  } else if (Station2Preconditions(position)) {
    RunStation2(position);
  } else {
    end = RunEnd::kRefused;
  }
  Epilogue();
  return end;
}

// ---- Station 1 ----

void StepRunner::RunStation1(int position) {
  if (position == 0) {
    StationChange();
    catalogue::Lubrication(ctx_, link_, data_);
    SetSlot(kGreaseSlot,
            PassFailPrompt(ctx_.op, "Lubrication of Grease") ? kResultPass : kResultFail);
  } else if (position == 1) {
    // The settings in force now go into this printer; settings that cannot be used stop the
    // step before anything is written.
    if (!LoadStation1Settings(ctx_, files_, data_.working_block)) return;
    NameOperation("SetHeadID");
    const int written = catalogue::SetHeadID(ctx_, link_, data_).ResultCode();
    LoadStation1Settings(ctx_, files_, data_.working_block);
    page_.ShowHeadBlock(data_.working_block, data_.working_block, false);
    if (written == kWritten) {
      page_.ShowHeadBlock(data_.read_block, data_.working_block, true);
      data_.read_block.fill(0);
      SetSlot(kHeadIdSlot, kResultPass);
    } else if (written == kNotVerified) {
      WriteFailure(kHeadIdSlot);
    }
    ShowTotal();
  }
}

// ---- Station 2 ----

bool StepRunner::Station2Preconditions(int position) {
  // The printer's block is read aside: the read block is the one of the printer taken at "1-1".
  StationData scratch;
  // A failed read is told by the read itself; the step does not run on a block never read.
  if (!catalogue::ReadData(ctx_, link_, scratch).achieved()) return false;
  const HeadBlock& printer = scratch.read_block;
  if (!HasHeadId(printer)) {
    ctx_.Error("Without Input Head ID !!", "ERROR");
    return false;
  }
  if (!SameHeadId(printer, data_.read_block) && position != kInitialDevice &&
      position != kReadRomData) {
    ctx_.Error("Please Run \"1. Initial Device\" First !!", "ERROR");
    return false;
  }
  return true;
}

void StepRunner::RunStation2(int position) {
  switch (position) {
    case kInitialDevice:
      if (ReadRomData()) {
        InputMachineNo();
        InputMachineId();
      }
      break;
    case kReadRomData:
      ReadRomData();
      break;
    case kMachineNo:
      InputMachineNo();
      break;
    case kMachineId:
      InputMachineId();
      break;
    case 4:
      NozzleCheck(0, true);
      break;
    case 5:
      NozzleCheck(kCl1, false);
      break;
    case 6:
      NozzleCheck(kCl1D, false);
      break;
    case 7:
      NozzleCheck(kCl2, false);
      break;
    case 8:
      catalogue::InkCharge(ctx_, link_, data_);
      ++data_.chart_label.ink_charges;
      break;
    case 9:
      catalogue::NozzleClean(ctx_, link_, data_, kCl1);
      break;
    case 10:
      catalogue::NozzleClean(ctx_, link_, data_, kCl1D);
      break;
    case 11:
      catalogue::NozzleClean(ctx_, link_, data_, kCl2);
      break;
    case 12:
      NozzleCheck(0, false);
      break;
    case kDeviceAdjustment:
      if (!AdjustTof()) break;
      for (int mode = 0; mode < 4; ++mode) {
        if (!AdjustBiD(mode)) break;
      }
      break;
    case kPrintTof:
      AdjustTof();
      break;
    case 15:
    case 16:
    case 17:
    case 18:
      AdjustBiD(position - 15);
      break;
    case 19:
      PrintAndInspect(kG0sA4Chart, 0, kG0sSlot);
      break;
    case 21:
    case 22:
    case 23:
    case 24:
      PrintAndInspect(static_cast<uint32_t>(position - 20), position - 20,
                      kFirstOptionalSlot + static_cast<size_t>(position - 21));
      break;
    case kInkDischarge:
      InkDischarge();
      break;
    default:  // the separators, and positions the list does not have
      break;
  }
}

bool StepRunner::ReadRomData() {
  ResetResults();
  Changed();
  data_.read_block.fill(0);
  const bool read = catalogue::ReadData(ctx_, link_, data_).achieved();
  // Everything but the spare byte: the counts start again with this printer.
  const uint8_t spare = data_.chart_label.spare;
  data_.chart_label = ChartLabel{};
  data_.chart_label.spare = spare;
  std::string version;
  // A block that could not be read is not checked against the settings: the read has told why.
  const bool passed = read && CheckCustomer(ctx_, files_, data_.read_block, data_.chart_label) &&
                      catalogue::ReadFWVersion(ctx_, link_, data_, version).achieved();
  if (!passed) {
    SetSlot(kCtSlot, kResultFail);
    return false;
  }
  data_.working_block = data_.read_block;
  page_.SetField(kFwVersionField, version);
  page_.SetField(kJigNoField, CharsText(data_.chart_label.jig_no));
  page_.ShowHeadBlock(data_.working_block, data_.working_block, true);
  SetSlot(kCtSlot, kResultPass);
  return true;
}

void StepRunner::InputMachineNo() {
  tarvo::InputMachineNo(ctx_.op, data_.chart_label);
  page_.SetField(kMachineNoField, CharsText(data_.chart_label.machine_no));
  Changed();
}

void StepRunner::InputMachineId() {
  tarvo::InputMachineId(ctx_.op, data_.chart_label);
  page_.SetField(kMachineIdField, CharsText(data_.chart_label.machine_id));
  Changed();
}

// The nozzle check steps: an ink charge or a cleaning (mode 0 none), the nozzle check chart, the
// operator's verdict.
bool StepRunner::NozzleCheck(int cleaning_mode, bool charge) {
  if (charge) {
    catalogue::InkCharge(ctx_, link_, data_);
    ++data_.chart_label.ink_charges;
  } else if (cleaning_mode > 0) {
    catalogue::NozzleClean(ctx_, link_, data_, cleaning_mode);
  }
  const HeadBlock copy = data_.working_block;
  catalogue::PrintChart(ctx_, link_, data_, copy, kNozzleCheckChart);
  const bool pass = PassFailPrompt(ctx_.op, "Nozzle Check") == 1;
  SetSlot(kNozzleCheckSlot, pass ? kResultPass : kResultFail);
  return pass;
}

bool StepRunner::AdjustTof() {
  NameOperation("TOF");
  const int result = catalogue::TOF(ctx_, link_, data_).ResultCode();
  if (result == kNotVerified) {
    WriteFailure(kTofSlot);
    return false;
  }
  if (result != kWritten) return false;
  const bool pass = PassFailPrompt(ctx_.op, "TOF Adjustment") == 1;
  if (pass)
    page_.SetNumber(kTofField, static_cast<int8_t>(data_.working_block[kTofAdjustOffset]) * 25);
  SetSlot(kTofSlot, pass ? kResultPass : kResultFail);
  return pass;
}

bool StepRunner::AdjustBiD(int mode) {
  static constexpr int kFields[] = {kMs1Field, kMs2Field, kVsdField, kEcnField};
  const BiDMode* bid = FindBiDMode(mode);
  const size_t slot = kFirstBiDSlot + static_cast<size_t>(mode);
  NameOperation("BiAdjust " + std::to_string(mode));
  const int result = catalogue::BiAdjust(ctx_, link_, data_, mode).ResultCode();
  if (result == kNotVerified) {
    WriteFailure(slot);
    return false;
  }
  if (result == kOutOfRange) {
    SetSlot(slot, kResultFail);
    return false;
  }
  if (result != kWritten) return false;
  const bool pass = PassFailPrompt(ctx_.op, std::string(bid->caption) + " Bi-d Adjustment") == 1;
  if (pass)
    page_.SetNumber(kFields[mode], static_cast<int8_t>(data_.working_block[bid->field_offset]));
  SetSlot(slot, pass ? kResultPass : kResultFail);
  return pass;
}

void StepRunner::PrintAndInspect(uint32_t chart, int kind, size_t slot) {
  const HeadBlock copy = data_.working_block;
  catalogue::PrintChart(ctx_, link_, data_, copy, chart);
  const bool pass = VisualInspection(ctx_.op, kind, data_.Inspection(kind)) == 1;
  SetSlot(slot, pass ? kResultPass : kResultFail);
}

void StepRunner::InkDischarge() {
  // The total as it would be with the discharge passed decides whether the finishing data go in.
  data_.station2_results[kDischargeSlot] = kResultPass;
  const uint8_t total = TotalResult();
  // Until this discharge has been judged, slot 8 is not run, and shows so.
  SetSlot(kDischargeSlot, kResultNotRun);
  int finishing = 1;
  if (total != kResultPass) {
    const char* text = total == kResultNotRun ? "Test Not Finished!!\nDo you want DisCharge ?!"
                                              : "Test Fail!!\nDo you want DisCharge ?!";
    const Reply reply =
        ctx_.op.Show({text, kDischargeCaption, Icon::kInformation, Buttons::kYesNo});
    if (reply != Reply::kYes) return;
    finishing = 0;
  }
  NameOperation("InkDisCharge " + std::to_string(finishing));
  if (!catalogue::InkDisCharge(ctx_, link_, data_, finishing).achieved()) {
    WriteFailure(kDischargeSlot);
    return;
  }
  SetSlot(kDischargeSlot,
          PassFailPrompt(ctx_.op, kDischargeCaption) == 1 ? kResultPass : kResultFail);
}

}  // namespace tarvo::station
