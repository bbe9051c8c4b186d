#pragma once

#include <functional>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/station_data.h"
#include "model/step_recording.h"
#include "station/device_frame.h"
#include "station/operation_page.h"
#include "station/result_slots.h"
#include "station/station_files.h"
#include "station/step_lists.h"

namespace tarvo::station {

// The step runner of the operation page: the station selector, the step lists, and the steps
// themselves, each in the device frame (HandleOpen, the step, HandleClose). A double-click looks
// up the row at its list position and runs the row's action, which sets the row's slot. It
// works on the front end's station data (shared with every device operation it calls) and keeps
// the page's values, telling its observer whenever they changed. The Qt page, tarvo-cli and the
// tests drive this same code.
class StepRunner {
 public:
  StepRunner(const Context& ctx, PrinterLink& link, StationData& data, const StationFiles& files);

  // Called after every change of the page's values.
  void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }

  // Page initialisation: selects the station stored in "3.data" and runs Station change.
  void Initialise();
  // The selector changed: 0 Station 1, 1 Station 2; any other value selects nothing and the page
  // behaves as Station 2.
  void SelectStation(int index);
  // A double-click on list position `position` of the selected station's list: kRan (also for a
  // separator or a position the list does not have), kOffline or kRefused.
  RunEnd Run(int position);

  const OperationPage& page() const { return page_; }
  bool station1() const { return page_.selection == 0; }
  Station station() const { return station1() ? Station::kHeadId : Station::kAdjustment; }
  // The result table of the selected station.
  std::span<const uint8_t> results() const;
  // 1 pass, 2 not finished, 0 fail, from the selected station's results.
  uint8_t TotalResult() const;

 private:
  void StationChange();
  void ResetResults();
  std::span<uint8_t> MutableResults();
  // Sets a slot of the selected station; kNone sets nothing.
  void SetSlot(Slot slot, uint8_t result);
  void WriteFailure(Slot slot);
  void ShowTotal();
  // After every step that reached the printer: the counters, the total, the step's record.
  void Epilogue();
  void Changed();

  // The station settings the step ran with, as the station folder holds them.
  StationSettingsRecord SettingsRecord() const;
  // Names the operation that follows in the journal of EEPROM writes.
  void NameOperation(const std::string& name) const;

  // Whether Station 2 may run `row` (nullptr: a position the list does not have) on the printer
  // found; tells the operator why not.
  bool Station2Preconditions(const StepRow* row);
  // Runs the action of `row`; true when it set its slot to pass (or sets none and ran).
  bool RunRow(const StepRow& row);
  // The row of the selected station's list that does `action` with `argument`.
  const StepRow& Row(StepAction action, int argument = 0) const;

  // The steps; each that sets a slot returns whether it set it to pass.
  void Grease(Slot slot);
  void InputHeadId(Slot slot);
  bool ReadRomData(Slot slot);
  void InputMachineNo();
  void InputMachineId();
  void ChargeInk();
  bool NozzleCheck(Slot slot);
  bool AdjustTof(Slot slot);
  bool AdjustBiD(int mode, Slot slot);
  bool PrintAndInspect(int chart, Slot slot);
  bool InkDischarge(Slot slot);

  const Context& ctx_;
  PrinterLink& link_;
  StationData& data_;
  const StationFiles& files_;
  OperationPage page_;
  std::function<void()> observer_;
  StepRecording* recording_ = nullptr;  // the step on record while one runs
};

}  // namespace tarvo::station
