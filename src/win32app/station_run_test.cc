// A fresh simulated printer through Station 1 and Station 2 in the program's own windows, in
// virtual time: every step started by a double-click on the Operation page's list, every window
// answered through its controls; then each page and the About box as a picture, and "Exit".
#include <gtest/gtest.h>

#include <filesystem>

#include "base/settings_store.h"
#include "model/rom_layout.h"
#include "station/station_files.h"
#include "testing/fresh_printer_run.h"
#include "testing/station_folder.h"
#include "testing/station_setup.h"
#include "win32app/about_window.h"
#include "win32app/main_window.h"
#include "win32app/operation_page_window.h"
#include "win32app/program_rig_test.h"
#include "win32app/program_robot_test.h"
#include "win32app/program_runtime.h"
#include "win32app/result_button.h"

namespace tarvo::win32app {
namespace {

using testing::ScreenshotPath;
using testing::Script;

TEST(ProgramRun, FreshPrinterThroughBothStationsToPassThenEachPageAndExit) {
  ProgramRig rig(true);
  MainWindow& window = *rig.window;
  Script script(rig.GiveUp());
  script.Until("the station restored from 3.data", [&] { return rig.idle(); });
  bool selector_zero = false;
  script.Do("look at the first page", [&] {
    selector_zero = SendMessageW(rig.operation().item(1271), CB_GETCURSEL, 0, 0) == 0;
  });

  bool disabled_during_run = false;
  bool ct_green_before_machine_no = false;
  bool tof_and_ms1_green_before_ms2 = false;
  std::vector<std::wstring> station1_totals;
  size_t index = 0;
  for (const tarvo::testing::StationStep& step : tarvo::testing::FreshPrinterRun()) {
    const bool station1 = index++ < 2;  // the first two steps are Station 1's
    if (step.station >= 0) {
      const int wanted = step.station;
      script.Until("station " + std::to_string(wanted) + " chosen with the arrow keys",
                   [&, wanted] {
                     HWND selector = rig.operation().item(OperationPageWindow::kSelectorId);
                     if (window.busy()) return false;
                     const LRESULT now = SendMessageW(selector, CB_GETCURSEL, 0, 0);
                     if (now == wanted) return true;
                     SetFocus(selector);
                     PostMessageW(selector, WM_KEYDOWN, now < wanted ? VK_DOWN : VK_UP, 0);
                     return false;
                   });
    }
    const int row = step.row;
    script.Do("double-click row " + std::to_string(row), [&, row] {
      EXPECT_TRUE(
          testing::DoubleClickRow(rig.operation().item(OperationPageWindow::kStepsId), row));
    });
    for (const auto& [name, answer] : step.windows) {
      std::function<void()> check;
      const std::string window_name = name;
      if (window_name == "dialog 188 Input Machine No.") {
        check = [&] {
          ct_green_before_machine_no = ResultState(rig.operation().slot(L"CT")) == 2;
          disabled_during_run = !IsWindowEnabled(rig.operation().item(1267)) &&
                                !IsWindowEnabled(rig.operation().item(1271)) &&
                                IsWindowEnabled(window.sheet());
        };
      }
      if (window_name == "dialog 189 MS2") {
        check = [&] {
          auto& page = rig.operation();
          tof_and_ms1_green_before_ms2 = ResultState(page.slot(L"TOF")) == 2 &&
                                         ResultState(page.slot(L"MS1")) == 2 &&
                                         ResultState(page.slot(L"MS2")) == 0;
        };
      }
      script.Answer(name, answer, check);
    }
    script.Until("the step ended", [&] { return !window.busy(); });
    if (station1) {
      script.Do("read the total", [&] {
        station1_totals.push_back(TextOf(rig.operation().item(OperationPageWindow::kTotalId)));
      });
    }
  }

  // The finished Station 2 on the page; then the pages and the About box as pictures.
  std::vector<std::pair<std::wstring, int>> slots;
  std::map<int, std::wstring> fields;
  std::wstring total;
  int total_state = -1, write_rom_fail_state = -1;
  script.Do("read the page", [&] {
    total = TextOf(rig.operation().item(OperationPageWindow::kTotalId));
    total_state = ResultState(rig.operation().item(OperationPageWindow::kTotalId));
    write_rom_fail_state = ResultState(rig.operation().item(OperationPageWindow::kWriteRomFailId));
    for (const wchar_t* slot : {L"CT", L"Nozzle Check", L"TOF", L"MS1", L"MS2", L"VSD", L"ECN",
                                L"G0S A4", L"DisCharge", L"S/F", L"Photo", L"Card", L"Envelope"}) {
      HWND button = rig.operation().slot(slot);
      slots.emplace_back(slot, button ? ResultState(button) : -1);
    }
    for (int id : {1183, 1257, 1269, 1268, 1273, 1094, 1259, 1270, 1274})
      fields[id] = rig.field(id);
  });
  const char* names[] = {"1-operation", "2-setting", "3-rd-setting", "4-dot-weight",
                         "5-show-rom-data"};
  for (int i = 0; i < MainWindow::kPageCount; ++i) {
    script.Do("click tab", [&, i] { testing::ClickTab(window.sheet(), i); });
    script.Until("the page shown", [&, i] { return window.current_page() == i; });
    script.Do("picture",
              [&, i] { EXPECT_TRUE(testing::SavePng(window.hwnd(), ScreenshotPath(names[i]))); });
  }
  script.Do("the system menu's About",
            [&] { PostMessageW(window.hwnd(), WM_SYSCOMMAND, MainWindow::kAboutCommand, 0); });
  std::wstring about_os;
  script.Until("the About box", [&] {
    HWND about = testing::FindWindowNamed(L"About Tarvo");
    if (!about) return false;
    about_os = testing::WindowText(GetDlgItem(about, 1221));
    EXPECT_TRUE(testing::SavePng(about, ScreenshotPath("6-about")));
    testing::Click(GetDlgItem(about, IDOK));
    return true;
  });
  script.Until("the About box closed", [&] { return !testing::FindWindowNamed(L"About Tarvo"); });
  script.Do("Exit", [&] { testing::Click(GetDlgItem(window.hwnd(), IDOK)); });
  script.Answer("message EXIT: Do you want to exit !?", "yes");

  EXPECT_EQ(window.Run(), IDOK);
  ASSERT_TRUE(script.done()) << script.failure();

  EXPECT_TRUE(selector_zero);
  EXPECT_TRUE(disabled_during_run);
  EXPECT_TRUE(ct_green_before_machine_no);
  EXPECT_TRUE(tof_and_ms1_green_before_ms2);
  EXPECT_EQ(station1_totals, (std::vector<std::wstring>{L"Testing", L"PASS"}));
  for (const auto& [slot, state] : slots)
    EXPECT_EQ(state, 2) << std::string(slot.begin(), slot.end());
  EXPECT_EQ(total, L"PASS");
  EXPECT_EQ(total_state, 6);
  EXPECT_EQ(write_rom_fail_state, 0);
  EXPECT_EQ(fields[1183], L"0073");
  EXPECT_EQ(fields[1257], L"AB12CD");
  EXPECT_EQ(fields[1269], L"07");
  EXPECT_EQ(fields[1268], L"MN001");
  EXPECT_EQ(fields[1273], L"A123456789012");
  EXPECT_EQ(fields[1094], L"-25");  // TOF one step down
  EXPECT_EQ(fields[1259], L"1");    // MS1: reprinted at +2, accepted at -1
  EXPECT_EQ(fields[1270], L"1");    // one ink charge
  EXPECT_EQ(fields[1274], L"13");   // thirteen charts
  // The finishing discharge stored the finishing data and switched the printer off.
  EXPECT_EQ(int(rig.runtime->sim()->eeprom()[kFtFlagOffset]), 1);
  EXPECT_FALSE(rig.runtime->sim()->powered());
  EXPECT_FALSE(rig.runtime->link().is_open());
  // A discovery ran: the OS line comes from the NT family's key.
  EXPECT_EQ(about_os.rfind(L"OS Version: ", 0), 0u);
  // "Port" and "Pipe" written back as they were read: 0 on a first start.
  EXPECT_EQ(rig.store->ReadInt32(kProgramKey, "Port"), 0);
  EXPECT_EQ(rig.store->ReadInt32(kProgramKey, "Pipe"), 0);
}

}  // namespace
}  // namespace tarvo::win32app
