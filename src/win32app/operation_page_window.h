#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "model/station_data.h"
#include "station/operation_page.h"
#include "station/station_files.h"
#include "station/step_runner.h"
#include "win32app/page_host.h"
#include "win32app/page_window.h"

namespace tarvo::win32app {

// The "Operation" page (187): the station selector (1271), the step list (1267), the read-only
// fields of the printer and the chart label record, and the result panel: a result button per
// slot of the selected station, the total and "Write ROM Fail".
//
// The step runner is driven only on the worker (the station restored from "3.data" included, as
// loading the Station 1 settings can show a message box). Whenever the runner changes its page
// there, the page is copied and the copy shown on the GUI thread, so the slots change colour
// step by step during a chained run.
class OperationPageWindow : public PageWindow {
 public:
  // The design area of the page, in pixels; the result labels carry their places in it.
  static constexpr int kWidth = 660;
  static constexpr int kHeight = 470;
  static constexpr int kSelectorId = 1271;
  static constexpr int kStepsId = 1267;
  static constexpr int kTotalId = 1400;
  static constexpr int kWriteRomFailId = 1401;
  static constexpr int kFirstSlotId = 1410;

  OperationPageWindow(PageHost& host, StationData& data, const station::StationFiles& files);

  const wchar_t* caption() const override { return L"Operation"; }
  void SetDeviceBusy(bool busy) override;
  void OperationEnded() override;

  bool initialised() const { return initialised_; }
  // The result button of the slot with `text`, or nullptr.
  HWND slot(const std::wstring& text) const;

 protected:
  void Build() override;
  void Command(int id, int code) override;
  INT_PTR Other(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void StartInitialise();
  void Show(const station::OperationPage& page);
  void ShowPanel(const station::OperationPage& page);
  HWND MakeLabel(const station::ResultLabel& label, int id);
  static void ShowLabel(HWND button, const station::ResultLabel& label);

  PageHost& host_;
  station::StepRunner runner_;
  std::mutex mutex_;
  std::optional<station::OperationPage> pending_;  // the worker's last copy, not yet shown

  std::map<int, HWND> fields_;
  std::vector<HWND> slots_;
  int shown_selection_ = -1;
  bool initialised_ = false;
};

}  // namespace tarvo::win32app
