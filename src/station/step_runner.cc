#include "station/step_runner.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/station_prompts.h"
#include "model/destinations.h"
#include "operations/alignment.h"
#include "operations/catalogue.h"
#include "station/station_settings.h"

namespace tarvo::station {
namespace {

// The Bi-d fields of the page, by Bi-d mode (MS1, MS2, VSD, ECN).
constexpr int kBiDFields[] = {kMs1Field, kMs2Field, kVsdField, kEcnField};

constexpr const char* kDischargeCaption = "DisCharge";

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

std::span<uint8_t> StepRunner::MutableResults() {
  if (station1()) return data_.station1_results;
  return data_.station2_results;
}

uint8_t StepRunner::TotalResult() const {
  const auto r = results();
  if (std::find(r.begin(), r.end(), kResultFail) != r.end()) return kResultFail;
  // The optional slots count only when they failed.
  const auto places = SlotPlaces(station());
  for (size_t i = 0; i < r.size() && i < places.size(); ++i) {
    if (!places[i].optional && r[i] == kResultNotRun) return kResultNotRun;
  }
  return kResultPass;
}

void StepRunner::Initialise() {
  StationFileFault fault;
  const uint8_t stored = files_.ReadStationIndex(&fault);
  TellStationFileFault(ctx_, StationFiles::kStationFile, 1, fault);
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
  page_.steps.clear();
  for (const StepRow& row : StepList(station())) page_.steps.push_back(row.text);
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

void StepRunner::SetSlot(Slot slot, uint8_t result) {
  if (slot == Slot::kNone || StationOf(slot) != station()) return;
  const size_t index = SlotIndex(slot);
  MutableResults()[index] = result;
  if (recording_)
    recording_->SlotSet(static_cast<int>(index), SlotPlaces(station())[index].text, result);
  page_.SetSlot(index, result == kResultPass ? kGreen : result == kResultFail ? kRed : kBlack);
  Changed();
}

void StepRunner::WriteFailure(Slot slot) {
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
                       data_.read_block, SettingsRecord(), &data_.chart_label);
  }
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
  const StepRow* row = StepAt(station(), position);
  // Made before the link opens; a step that finds the printer off line is not recorded.
  StepRecording recording(ctx_, station1() ? 1 : 2, position, row ? row->text : "", results());
  RunEnd end = RunEnd::kRan;
  // Every record of the step, its journal entries too, names the station it was made at.
  struct Identify {
    RecordSink* sink;
    StationIdentity before;
    ~Identify() {
      if (sink) sink->SetStation(std::move(before));
    }
  } identify{ctx_.records, ctx_.records ? ctx_.records->station() : StationIdentity{}};
  if (ctx_.records) ctx_.records->SetStation(files_.Identity(station1() ? 1 : 2));
  const bool opened = RunInDeviceFrame(link_, [&] {
    recording_ = &recording;
    struct Clear {
      StepRecording*& r;
      ~Clear() { r = nullptr; }
    } clear{recording_};
    if (!station1() && !Station2Preconditions(row)) {
      end = RunEnd::kRefused;
    } else if (row) {
      RunRow(*row);
    }
    Epilogue();
  });
  return opened ? end : RunEnd::kOffline;
}

bool StepRunner::Station2Preconditions(const StepRow* row) {
  // The printer's block is read aside: the read block is the one of the printer taken at "1-1".
  StationData scratch;
  // A failed read is told by the read itself; the step does not run on a block never read.
  if (!catalogue::ReadData(ctx_, link_, scratch).achieved()) return false;
  const HeadBlock& printer = scratch.read_block;
  if (!HasHeadId(printer)) {
    ctx_.Error("Without Input Head ID !!", "ERROR");
    return false;
  }
  // The steps that take a new printer accept another head ID.
  const bool takes_printer =
      row && (row->action == StepAction::kInitialDevice || row->action == StepAction::kReadRomData);
  if (!SameHeadId(printer, data_.read_block) && !takes_printer) {
    ctx_.Error("Please Run \"1. Initial Device\" First !!", "ERROR");
    return false;
  }
  return true;
}

const StepRow& StepRunner::Row(StepAction action, int argument) const {
  for (const StepRow& row : StepList(station())) {
    if (row.action == action && row.argument == argument) return row;
  }
  throw std::logic_error("the step list has no row for a chained step");
}

bool StepRunner::RunRow(const StepRow& row) {
  switch (row.action) {
    case StepAction::kNothing:
      return true;
    case StepAction::kGrease:
      Grease(row.slot);
      return true;
    case StepAction::kInputHeadId:
      InputHeadId(row.slot);
      return true;
    case StepAction::kInitialDevice:
      if (!RunRow(Row(StepAction::kReadRomData))) return false;
      RunRow(Row(StepAction::kInputMachineNo));
      return RunRow(Row(StepAction::kInputMachineId));
    case StepAction::kReadRomData:
      return ReadRomData(row.slot);
    case StepAction::kInputMachineNo:
      InputMachineNo();
      return true;
    case StepAction::kInputMachineId:
      InputMachineId();
      return true;
    case StepAction::kChargeAndCheck:
      ChargeInk();
      return NozzleCheck(row.slot);
    case StepAction::kCleanAndCheck:
      catalogue::NozzleClean(ctx_, link_, data_, row.argument);
      return NozzleCheck(row.slot);
    case StepAction::kInkCharge:
      ChargeInk();
      return true;
    case StepAction::kNozzleClean:
      catalogue::NozzleClean(ctx_, link_, data_, row.argument);
      return true;
    case StepAction::kNozzleCheck:
      return NozzleCheck(row.slot);
    case StepAction::kDeviceAdjustment:
      if (!RunRow(Row(StepAction::kTof))) return false;
      for (int mode = 0; mode < 4; ++mode) {
        if (!RunRow(Row(StepAction::kBiD, mode))) return false;
      }
      return true;
    case StepAction::kTof:
      return AdjustTof(row.slot);
    case StepAction::kBiD:
      return AdjustBiD(row.argument, row.slot);
    case StepAction::kPrintAndInspect:
      return PrintAndInspect(row.argument, row.slot);
    case StepAction::kInkDischarge:
      return InkDischarge(row.slot);
  }
  return false;
}

// ---- Station 1 ----

void StepRunner::Grease(Slot slot) {
  StationChange();
  catalogue::Lubrication(ctx_, link_, data_);
  SetSlot(slot, PassFailPrompt(ctx_.op, "Lubrication of Grease") ? kResultPass : kResultFail);
}

void StepRunner::InputHeadId(Slot slot) {
  // The settings in force now go into this printer; settings that cannot be used stop the step
  // before anything is written.
  if (!LoadStation1Settings(ctx_, files_, data_.working_block)) return;
  NameOperation("SetHeadID");
  const Outcome written = catalogue::SetHeadID(ctx_, link_, data_);
  LoadStation1Settings(ctx_, files_, data_.working_block);
  page_.ShowHeadBlock(data_.working_block, data_.working_block, false);
  if (written.achieved()) {
    page_.ShowHeadBlock(data_.read_block, data_.working_block, true);
    data_.read_block.fill(0);
    SetSlot(slot, kResultPass);
  } else if (written.kind == OutcomeKind::kVerifyFailed) {
    WriteFailure(slot);
  }
  ShowTotal();
}

// ---- Station 2 ----

bool StepRunner::ReadRomData(Slot slot) {
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
    SetSlot(slot, kResultFail);
    return false;
  }
  data_.working_block = data_.read_block;
  page_.SetField(kFwVersionField, version);
  page_.SetField(kJigNoField, CharsText(data_.chart_label.jig_no));
  page_.ShowHeadBlock(data_.working_block, data_.working_block, true);
  SetSlot(slot, kResultPass);
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

void StepRunner::ChargeInk() {
  catalogue::InkCharge(ctx_, link_, data_);
  ++data_.chart_label.ink_charges;
}

// The nozzle check chart and the operator's verdict on it.
bool StepRunner::NozzleCheck(Slot slot) {
  const HeadBlock copy = data_.working_block;
  catalogue::PrintChart(ctx_, link_, data_, copy, kNozzleCheckChart);
  const bool pass = PassFailPrompt(ctx_.op, "Nozzle Check") == 1;
  SetSlot(slot, pass ? kResultPass : kResultFail);
  return pass;
}

// The adjustments leave their slot as it was when the operator cancelled; a write that did not
// hold fails it and counts.
bool StepRunner::AdjustTof(Slot slot) {
  NameOperation("TOF");
  const Outcome written = catalogue::TOF(ctx_, link_, data_);
  if (!written.achieved()) {
    if (written.kind == OutcomeKind::kVerifyFailed) WriteFailure(slot);
    return false;
  }
  const bool pass = PassFailPrompt(ctx_.op, "TOF Adjustment") == 1;
  if (pass)
    page_.SetNumber(kTofField, static_cast<int8_t>(data_.working_block[kTofAdjustOffset]) * 25);
  SetSlot(slot, pass ? kResultPass : kResultFail);
  return pass;
}

bool StepRunner::AdjustBiD(int mode, Slot slot) {
  const BiDMode* bid = FindBiDMode(mode);
  if (!bid) return false;
  NameOperation("BiAdjust " + std::to_string(mode));
  const Outcome written = catalogue::BiAdjust(ctx_, link_, data_, mode);
  if (!written.achieved()) {
    if (written.kind == OutcomeKind::kVerifyFailed) WriteFailure(slot);
    // A value the printer does not take fails the slot, without counting as a failed write.
    if (written.kind == OutcomeKind::kOutOfRange) SetSlot(slot, kResultFail);
    return false;
  }
  const bool pass = PassFailPrompt(ctx_.op, std::string(bid->caption) + " Bi-d Adjustment") == 1;
  if (pass)
    page_.SetNumber(kBiDFields[mode], static_cast<int8_t>(data_.working_block[bid->field_offset]));
  SetSlot(slot, pass ? kResultPass : kResultFail);
  return pass;
}

// A quality chart and its visual inspection; the chart number is the inspection kind.
bool StepRunner::PrintAndInspect(int chart, Slot slot) {
  const HeadBlock copy = data_.working_block;
  catalogue::PrintChart(ctx_, link_, data_, copy, static_cast<uint32_t>(chart));
  const bool pass = VisualInspection(ctx_.op, chart, data_.Inspection(chart)) == 1;
  SetSlot(slot, pass ? kResultPass : kResultFail);
  return pass;
}

bool StepRunner::InkDischarge(Slot slot) {
  // The total as it would be with the discharge passed decides whether the finishing data go in.
  MutableResults()[SlotIndex(slot)] = kResultPass;
  const uint8_t total = TotalResult();
  // Until this discharge has been judged, its slot is not run, and shows so.
  SetSlot(slot, kResultNotRun);
  int finishing = 1;
  if (total != kResultPass) {
    const char* text = total == kResultNotRun ? "Test Not Finished!!\nDo you want DisCharge ?!"
                                              : "Test Fail!!\nDo you want DisCharge ?!";
    const Reply reply =
        ctx_.op.Show({text, kDischargeCaption, Icon::kInformation, Buttons::kYesNo});
    if (reply != Reply::kYes) return false;
    finishing = 0;
  }
  NameOperation("InkDisCharge " + std::to_string(finishing));
  if (!catalogue::InkDisCharge(ctx_, link_, data_, finishing).achieved()) {
    WriteFailure(slot);
    return false;
  }
  const bool pass = PassFailPrompt(ctx_.op, kDischargeCaption) == 1;
  SetSlot(slot, pass ? kResultPass : kResultFail);
  return pass;
}

}  // namespace tarvo::station
