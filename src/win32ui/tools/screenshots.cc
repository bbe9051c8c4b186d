// Shows every dialog, message box and wait window of the library's edition in its native window
// and writes each as a BMP file, for review:  tarvo_win32_screenshots OUTPUT_DIR
// Run under Wine on a display (Xvfb will do); each window is taken from the screen as shown.
#include <windows.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "base/line_sink.h"
#include "base/wait_windows.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/station_setting_dialogs.h"
#include "dialogs/value_entry_dialog.h"
#include "win32ui/wait_window.h"
#include "win32ui/win32_operator.h"
#include "win32ui/window_robot_test.h"

using namespace tarvo;
using namespace tarvo::win32ui;
using tarvo::win32ui::testing::Click;
using tarvo::win32ui::testing::Robot;

namespace {

std::filesystem::path g_out;
int g_written = 0;

// The window as it is on the screen, frame and caption included, as a 24-bit BMP.
void Save(HWND hwnd, const char* name) {
  // A modeless window paints its children from the messages it has not yet been given.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  RECT r;
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(g_out / (std::string(name) + ".bmp"), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  ++g_written;
}

void Dialog(Win32Operator& op, DialogModel& model, const wchar_t* caption, const char* name) {
  Robot robot;
  // Taken a tick after it shows, once every control has painted itself.
  robot.When(caption, [](HWND) {});
  robot.When(caption, [name](HWND dlg) {
    Save(dlg, name);
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  op.ShowDialog(model);
}

void Box(Win32Operator& op, const Message& message, const char* name) {
  Robot robot;
  robot.When(std::wstring(message.caption.begin(), message.caption.end()), [name](HWND box) {
    Save(box, name);
    Click(box, GetDlgItem(box, IDOK) ? IDOK : IDNO);
  });
  op.Show(message);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tarvo_win32_screenshots OUTPUT_DIR\n");
    return 2;
  }
  g_out = argv[1];
  std::filesystem::create_directories(g_out);
  NullLineSink transcript;
  Win32Operator op(kLibraryEdition, transcript);

  InputIdDialog head(InputIdDialog::Kind::kHeadId);
  head.text = "AB12CD";
  Dialog(op, head, L"Input Head ID", "179-input-head-id");
  ValueEntryDialog value;
  value.caption_text = "MS1";
  Dialog(op, value, L"MS1", "189-value-entry-ms1");
  MotorMoveDialog motor_move;
  Dialog(op, motor_move, L"Motor Move", "147-motor-move");
  InspectionDialog inspection(0);
  Dialog(op, inspection, L"G0S A4", "205-g0s-a4");
  DisMessageDialog dis(kLibraryEdition);
  Dialog(op, dis, L"DisMessage", "200-dis-message");
  EepromDataDialog eeprom(kLibraryEdition);
  std::array<uint8_t, kRomImageSize> image{};
  eeprom.LoadFrom(image);
  Dialog(op, eeprom, L"EEPROM Data", "197-eeprom-data");

  Box(op, {"印表機離線!!", "ERROR", Icon::kError, Buttons::kOk}, "message-error");
  Box(op, {"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo},
      "message-exit-question");

  const std::pair<WaitWindow, const char*> windows[] = {
      {ConnectWindow(kLibraryEdition), "196-connect"},
      {InkDisChargeWindow(kLibraryEdition), "191-ink-discharge"},
      {SendingFileWindow(kLibraryEdition), "transfer-progress"}};
  for (const auto& [window, name] : windows) {
    WaitWindowView view(window, nullptr);
    if (window.id == 0) {
      view.Progress(420, 1000);
    } else {
      view.StartWait(10'000);
    }
    Save(view.hwnd(), name);
  }
  // The connect window over its ten retries, at the third and at the eighth.
  for (int retry : {3, 8}) {
    WaitWindowView view(ConnectWindow(kLibraryEdition, 10), nullptr);
    for (int i = 1; i < retry; ++i) {
      view.StartWait(1000);
      view.EndWait();
    }
    view.StartWait(1000);
    Save(view.hwnd(), retry == 3 ? "196-connect-retry-3" : "196-connect-retry-8");
  }
  // The program's dialogs in the native view.
  Station1Dialog station1;
  station1.current_destination = 2;
  station1.current_belt = "B07";
  station1.current_pc = "P3";
  station1.PresetFromCurrent();
  Dialog(op, station1, L"Station1", "185-station1");
  Station2Dialog station2;
  station2.current_value = "07";
  station2.PresetFromCurrent();
  Dialog(op, station2, L"Station2", "186-station2");
  MeasureResultDialog measure("Mono Measure", "KDot.prn", 33'708'960);
  Dialog(op, measure, L"Mono Measure", "202-measure-result");
  std::printf("%d pictures in %s\n", g_written, g_out.string().c_str());
  return 0;
}
