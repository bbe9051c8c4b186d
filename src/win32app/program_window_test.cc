// The main window around the pages: it keeps painting through a real wait of the printer, a close
// during an operation asks and stops it, "Exit" answered No leaves everything running, and the
// pieces it is made of.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "win32app/button_pages.h"
#include "win32app/gui_thread.h"
#include "win32app/program_options.h"
#include "win32app/program_rig_test.h"
#include "win32app/program_robot_test.h"
#include "win32app/result_button.h"

namespace tarvo::win32app {
namespace {

using testing::Script;

constexpr int kDotWeightPage = 3;
constexpr int kCleaningButton = 1282;

// The cleaning waits 10 s for real: the window paints all through it, the tabs stay usable, the
// status line counts the wait down.
TEST(ProgramWindow, RepaintsAndSwitchesPagesDuringARealTenSecondWait) {
  ProgramRig rig(false);
  MainWindow& window = *rig.window;
  Script script(rig.GiveUp());
  int paints_at_start = 0;
  DWORD started = 0, ended = 0;
  int invalidated = 0;
  script.Until("the station restored", [&] { return rig.idle(); });
  script.Do("click the DotWeight tab", [&] { testing::ClickTab(window.sheet(), kDotWeightPage); });
  script.Until("the page shown", [&] { return window.current_page() == kDotWeightPage; });
  script.Do("Cleanning",
            [&] { testing::Click(window.page(kDotWeightPage).item(kCleaningButton)); });
  script.Until("the wait window", [&] {
    if (!window.busy() || !testing::FindWindowNamed(L"Printer Busy")) return false;
    started = GetTickCount();
    paints_at_start = window.paints();
    return true;
  });
  script.Do("click the Operation tab", [&] { testing::ClickTab(window.sheet(), 0); });
  bool switched_while_busy = false;
  std::set<std::wstring> status_lines;
  script.Until("the wait over", [&] {
    switched_while_busy = switched_while_busy || (window.busy() && window.current_page() == 0);
    const auto [line, first] =
        status_lines.insert(TextOf(GetDlgItem(window.hwnd(), MainWindow::kStatusId)));
    if (first && *line == L"Cleaning nozzles: 9 s") {
      EXPECT_TRUE(testing::SavePng(window.hwnd(), testing::ScreenshotPath("7-wait-countdown")));
    }
    if (window.busy()) {
      // Something to paint at every tick: covered windows and changed texts come to this.
      InvalidateRect(window.hwnd(), nullptr, FALSE);
      ++invalidated;
      return false;
    }
    ended = GetTickCount();
    return true;
  });
  script.Until("the status line cleared",
               [&] { return TextOf(GetDlgItem(window.hwnd(), MainWindow::kStatusId)).empty(); });
  int paints_during_wait = 0;
  script.Do("Esc ends the window", [&] {
    paints_during_wait = window.paints() - paints_at_start;
    PostMessageW(window.hwnd(), WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(window.Run(), IDCANCEL);
  ASSERT_TRUE(script.done()) << script.failure();
  EXPECT_GE(ended - started, 9000u);
  EXPECT_TRUE(switched_while_busy);
  // The status line counted the wait down, a second at a time.
  EXPECT_TRUE(status_lines.contains(L"Cleaning nozzles: 9 s"));
  EXPECT_TRUE(status_lines.contains(L"Cleaning nozzles: 2 s"));
  // Painted at least once for every few requests of the whole wait.
  EXPECT_GE(paints_during_wait, invalidated / 4);
  EXPECT_GE(paints_during_wait, 50);
}

TEST(ProgramWindow, ClosingDuringAnOperationAsksAndStopsIt) {
  ProgramRig rig(false);
  MainWindow& window = *rig.window;
  Script script(rig.GiveUp());
  DWORD asked = 0;
  script.Until("the station restored", [&] { return rig.idle(); });
  script.Do("Cleanning",
            [&] { testing::Click(window.page(kDotWeightPage).item(kCleaningButton)); });
  script.Until("the wait window",
               [&] { return testing::FindWindowNamed(L"Printer Busy") != nullptr; });
  // First "No": the operation goes on.
  script.Do("the close box", [&] { PostMessageW(window.hwnd(), WM_CLOSE, 0, 0); });
  script.Answer("message EXIT: A printer operation is still running.", "no");
  bool still_busy = false;
  script.Do("look", [&] { still_busy = window.busy(); });
  script.Do("the close box again", [&] { PostMessageW(window.hwnd(), WM_CLOSE, 0, 0); });
  script.Answer("message EXIT: Stop it and exit?", "yes", [&] { asked = GetTickCount(); });
  DWORD started = GetTickCount();
  EXPECT_EQ(window.Run(), IDCANCEL);
  const DWORD ended = GetTickCount();
  ASSERT_TRUE(script.done()) << script.failure();
  EXPECT_TRUE(still_busy);
  EXPECT_FALSE(window.busy());
  // Stopped, not waited out: well before the cleaning's 10 s.
  EXPECT_LT(ended - started, 8000u);
  EXPECT_LT(ended - asked, 3000u);
  EXPECT_FALSE(rig.runtime->link().is_open());
}

TEST(ProgramWindow, ExitAnsweredNoLeavesTheProgramRunningAndYesWritesPortAndPipe) {
  ProgramRig rig(true);
  rig.store->WriteInt32(kProgramKey, "Port", 1);
  rig.store->WriteInt32(kProgramKey, "Pipe", 7);  // no such radio button: the first
  MainWindow& window = *rig.window;
  Script script(rig.GiveUp());
  bool open_after_no = false;
  script.Until("the station restored", [&] { return rig.idle(); });
  script.Do("Exit", [&] { testing::Click(GetDlgItem(window.hwnd(), IDOK)); });
  script.Answer("message EXIT: Do you want to exit !?", "no");
  script.Do("look", [&] { open_after_no = IsWindowVisible(window.hwnd()) != FALSE; });
  script.Do("Exit", [&] { testing::Click(GetDlgItem(window.hwnd(), IDOK)); });
  script.Answer("message EXIT: Do you want to exit !?", "yes");
  EXPECT_EQ(window.Run(), IDOK);
  ASSERT_TRUE(script.done()) << script.failure();
  EXPECT_TRUE(open_after_no);
  EXPECT_EQ(window.values().port, 1);
  EXPECT_EQ(window.values().pipe, 0);
  EXPECT_EQ(rig.store->ReadInt32(kProgramKey, "Port"), 1);
  EXPECT_EQ(rig.store->ReadInt32(kProgramKey, "Pipe"), 0);
}

TEST(ProgramPieces, ResultButtonStatesAndTheirColours) {
  EXPECT_EQ(ResultTextColour(0), RGB(0, 0, 0));
  EXPECT_EQ(ResultTextColour(1), RGB(255, 0, 0));
  EXPECT_EQ(ResultTextColour(2), RGB(0, 180, 0));
  EXPECT_EQ(ResultTextColour(3), RGB(0, 0, 255));
  EXPECT_EQ(ResultTextColour(6), RGB(0, 180, 0));
  EXPECT_EQ(ResultFontHeight(3), 14);
  EXPECT_EQ(ResultFontHeight(4), 32);
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
  HWND button = CreateResultButton(parent, 5, L"PASS", RECT{0, 0, 80, 40}, 6);
  EXPECT_EQ(ResultState(button), 6);
  SetResultState(button, 9);  // no such state: black
  EXPECT_EQ(ResultState(button), 0);
  DestroyWindow(parent);
}

TEST(ProgramPieces, GuiThreadCarriesResultsAndFailuresBack) {
  GuiThread gui;
  EXPECT_EQ(gui.Call([] { return 7; }), 7);  // here: a plain call
  DWORD ran_on = 0;
  int result = 0;
  bool thrown = false;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    result = gui.Call([&] {
      ran_on = GetCurrentThreadId();
      return 42;
    });
    try {
      gui.Call([] { throw std::runtime_error("no"); });
    } catch (const std::runtime_error&) {
      thrown = true;
    }
    finished = true;
  });
  // The calls are served by this thread's loop.
  MSG msg;
  for (int i = 0; i < 100 && !finished; ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  worker.join();
  EXPECT_EQ(result, 42);
  EXPECT_EQ(ran_on, GetCurrentThreadId());
  EXPECT_TRUE(thrown);
}

TEST(ProgramPieces, CommandLine) {
  CommandLine line =
      ParseCommandLine({"--printer", "sim", "--virtual-time", "--station-dir=C:\\s"});
  EXPECT_EQ(line.ask, CommandLine::Ask::kRun);
  EXPECT_EQ(line.options.printer, "sim");
  EXPECT_TRUE(line.options.virtual_time);
  EXPECT_EQ(line.options.station_dir, "C:\\s");
  EXPECT_EQ(ParseCommandLine({}).options.printer, "usb");
  EXPECT_EQ(ParseCommandLine({"--version"}).ask, CommandLine::Ask::kVersion);
  EXPECT_EQ(ParseCommandLine({"--printer"}).ask, CommandLine::Ask::kError);
  EXPECT_EQ(ParseCommandLine({"--colour"}).ask, CommandLine::Ask::kError);
}

}  // namespace
}  // namespace tarvo::win32app
