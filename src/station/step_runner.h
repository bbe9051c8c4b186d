#pragma once

#include <functional>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/station_data.h"
#include "model/step_recording.h"
#include "station/operation_page.h"
#include "station/station_files.h"
#include "station/step_lists.h"

namespace tarvo::station {

// How a double-click on the step list ended.
enum class RunEnd {
  kRan,      // the step ran (whatever its verdicts), or a separator did nothing
  kOffLine,  // the printer could not be opened; nothing changed
  kRefused,  // a Station 2 precondition refused the printer; no result changed
};

// The step runner of the operation page: the station selector, the step lists, and the steps
// themselves, each framed by HandleOpen and HandleClose. It works on the front end's station
// data (shared with every device operation it calls) and keeps the page's values, telling its
// observer whenever they changed. The Qt page, tarvo-cli and the tests drive this same code.
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
  // A double-click on list position `position` of the selected station's list.
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
  void SetSlot(size_t slot, uint8_t result);
  void WriteFailure(size_t slot);
  void ShowTotal();
  void Epilogue();
  void Changed();

  // The station settings the step ran with, as the station folder holds them.
  StationSettingsRecord SettingsRecord() const;
  // Names the operation that follows in the journal of EEPROM writes.
  void NameOperation(const std::string& name) const;

  void RunStation1(int position);
  bool Station2Preconditions(int position);
  void RunStation2(int position);

  // Station 2 steps; each returns whether it set its slot to pass.
  bool ReadRomData();
  void InputMachineNo();
  void InputMachineId();
  bool NozzleCheck(int cleaning_mode, bool charge);
  bool AdjustTof();
  bool AdjustBiD(int mode);
  void PrintAndInspect(uint32_t chart, int kind, size_t slot);
  void InkDischarge();

  const Context& ctx_;
  PrinterLink& link_;
  StationData& data_;
  const StationFiles& files_;
  OperationPage page_;
  std::function<void()> observer_;
  StepRecording* recording_ = nullptr;  // the step on record while one runs
};

}  // namespace tarvo::station
