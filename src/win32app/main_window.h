#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "model/station_data.h"
#include "station/program_settings.h"
#include "station/station_files.h"
#include "win32app/device_worker.h"
#include "win32app/page_host.h"
#include "win32app/page_window.h"
#include "win32app/program_runtime.h"

namespace tarvo::win32app {

// The main window "Product": the sheet of the five pages (Operation, Setting, RD Setting,
// DotWeight, ShowROMData) in a tab control, "Exit" at the bottom right, the hidden port (1040,
// 1041) and pipe (1042-1044) radio groups, and the system menu's "&About Tarvo..." (command 16),
// which shows the About box owned by the window.
//
// The window is the pages' host: device work runs on its device worker, one operation at a time;
// while one runs, every page's device controls and the About item are disabled, while the tabs
// stay usable and the window keeps painting. Closing the window while an operation runs asks
// first, then stops the operation and closes once it has ended.
//
// Left of "Exit", a status line counts down the longer waits ("Greasing: 9 s").
//
// "Exit" asks "Do you want to exit !?"; Esc and the close box end the window without asking.
// Whichever way it ends, "Port" and "Pipe" are written back to the settings store.
class MainWindow : public PageHost {
 public:
  static constexpr int kPageCount = 5;
  static constexpr UINT kAboutCommand = 16;
  static constexpr int kSheetId = 1100;
  static constexpr int kStatusId = 1101;  // the status line: the wait that runs, counted down
  static constexpr int kExitId = IDOK;

  explicit MainWindow(ProgramRuntime& runtime);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the window modally until it ends: IDOK by "Exit", IDCANCEL otherwise.
  INT_PTR Run();

  HWND hwnd() const { return hwnd_; }
  HWND sheet() const { return sheet_; }
  PageWindow& page(int index) const { return *pages_[static_cast<size_t>(index)]; }
  int current_page() const { return current_; }
  const station::PortPipe& values() const { return values_; }
  // How often the window has painted (tests: it repaints during a long wait).
  int paints() const { return paints_; }

  // PageHost.
  const Context& ctx() const override { return runtime_.ctx(); }
  PrinterLink& link() override { return runtime_.link(); }
  bool RunOperation(Operation operation, bool reaches_printer = true) override;
  bool busy() const override { return worker_ && worker_->busy(); }

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Init();
  void Place();
  void SelectPage(int index);
  void OperationEnded();
  void SetBusy(bool busy);
  void ShowWaitStatus();
  void ShowAbout();
  void CopyRadiosToValues();
  void Exit();
  void Close();
  // Asks whether to stop the running operation and end; true when the window may end now.
  bool MayCloseWhileBusy();
  void End(INT_PTR result);

  ProgramRuntime& runtime_;
  StationData data_;
  station::StationFiles files_;
  std::array<std::unique_ptr<PageWindow>, kPageCount> pages_;
  std::unique_ptr<DeviceWorker> worker_;
  HWND hwnd_ = nullptr;
  HWND sheet_ = nullptr;
  HICON icon_ = nullptr;
  HICON small_icon_ = nullptr;
  int current_ = 0;
  station::PortPipe values_;
  bool discovered_ = false;        // a printer discovery has run: the system's family is known
  bool reaching_printer_ = false;  // the running operation opens the link
  bool close_when_idle_ = false;
  bool written_ = false;
  int paints_ = 0;
};

}  // namespace tarvo::win32app
