#pragma once

// The program in a test: a station folder with both stations set up, the runtime over the
// simulated printer and a memory settings store, and the main window.
#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/settings_store.h"
#include "station/station_files.h"
#include "testing/station_folder.h"
#include "testing/station_setup.h"
#include "win32app/main_window.h"
#include "win32app/operation_page_window.h"
#include "win32app/program_robot_test.h"
#include "win32app/program_runtime.h"

namespace tarvo::win32app {

// Everything a run of the program in a test needs: the station folder, the runtime over a
// memory settings store, and the main window.
struct ProgramRig {
  explicit ProgramRig(bool virtual_time) {
    station::StationFiles files(folder.path());
    tarvo::testing::SetUpStations(files);
    ProgramOptions options;
    options.printer = "sim";
    options.virtual_time = virtual_time;
    options.station_dir = folder.path().string();
    auto owned = std::make_unique<MemorySettingsStore>();
    store = owned.get();
    std::string error, notes;
    runtime = ProgramRuntime::Make(options, std::move(owned), &error, &notes);
    if (!runtime) throw std::runtime_error(error);
    window = std::make_unique<MainWindow>(*runtime);
  }

  OperationPageWindow& operation() { return static_cast<OperationPageWindow&>(window->page(0)); }
  std::wstring field(int id) { return TextOf(operation().item(id)); }
  // After a failed step: stop the operation, close every window, and end the main window.
  std::function<void()> GiveUp() {
    return [this] {
      runtime->stop().Request();
      EnumThreadWindows(GetCurrentThreadId(), &testing::CancelWindow, 0);
    };
  }
  bool idle() { return operation().initialised() && !window->busy(); }

  tarvo::testing::StationFolder folder;
  MemorySettingsStore* store = nullptr;
  std::unique_ptr<ProgramRuntime> runtime;
  std::unique_ptr<MainWindow> window;
};

}  // namespace tarvo::win32app
