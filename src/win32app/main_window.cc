#include "win32app/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iostream>

#include "base/operator.h"
#include "station/about_box.h"
#include "win32app/about_window.h"
#include "win32app/button_pages.h"
#include "win32app/list_pages.h"
#include "win32app/operation_page_window.h"
#include "win32ui/dialog_template.h"
#include "win32ui/message_box.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32app {
namespace {

constexpr UINT kOperationEndedMessage = WM_APP + 20;
constexpr UINT kWaitStatusMessage = WM_APP + 21;
constexpr UINT_PTR kWaitStatusTimer = 1;
constexpr int kIconId = 128;
constexpr int kMargin = 6;
constexpr int kExitWidth = 90, kExitHeight = 26;
constexpr int kPortIds[] = {1040, 1041};
constexpr int kPipeIds[] = {1042, 1043, 1044};

int Checked(HWND dialog, const int* ids, int count) {
  for (int i = 0; i < count; ++i) {
    if (IsDlgButtonChecked(dialog, ids[i]) == BST_CHECKED) return i;
  }
  return 0;
}

}  // namespace

MainWindow::MainWindow(ProgramRuntime& runtime)
    : runtime_(runtime), files_(runtime.ctx().station_dir) {
  pages_[0] = std::make_unique<OperationPageWindow>(*this, data_, files_);
  pages_[1] = std::make_unique<SettingPageWindow>(*this, files_);
  pages_[2] = std::make_unique<RdPageWindow>(*this, data_);
  pages_[3] = std::make_unique<DotWeightPageWindow>(*this);
  pages_[4] = std::make_unique<RomViewerPageWindow>(*this, data_, files_);
}

MainWindow::~MainWindow() {
  runtime_.wait_status().Attach(nullptr, 0);
  // The worker may still hold the pages' models.
  worker_.reset();
  if (icon_) DestroyIcon(icon_);
  if (small_icon_) DestroyIcon(small_icon_);
}

INT_PTR MainWindow::Run() {
  using win32ui::ItemClass;
  win32ui::DialogSpec spec;
  spec.caption = L"Product";
  spec.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_CENTER;
  spec.cx = 434;
  spec.cy = 297;
  spec.font_points = 8;
  spec.items.push_back(
      {ItemClass::kButton, L"", BS_DEFPUSHBUTTON | WS_TABSTOP, 370, 275, 50, 14, IDOK, L"Exit"});
  const wchar_t* port_texts[] = {L"USB", L"LPT"};
  const wchar_t* pipe_texts[] = {L"00", L"01", L"02"};
  for (int i = 0; i < 2; ++i) {
    spec.items.push_back({ItemClass::kButton, L"", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0u),
                          10 + 40 * i, 275, 36, 10, static_cast<uint16_t>(kPortIds[i]),
                          port_texts[i]});
  }
  for (int i = 0; i < 3; ++i) {
    spec.items.push_back({ItemClass::kButton, L"", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0u),
                          100 + 30 * i, 275, 28, 10, static_cast<uint16_t>(kPipeIds[i]),
                          pipe_texts[i]});
  }
  const std::vector<uint16_t> dialog = win32ui::BuildTemplate(spec);
  return DialogBoxIndirectParamW(win32ui::ThisModule(),
                                 reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), nullptr,
                                 &MainWindow::Proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* window = reinterpret_cast<MainWindow*>(lparam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    window->hwnd_ = hwnd;
    window->Init();
    return TRUE;
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return window ? window->Handle(message, wparam, lparam) : FALSE;
}

void MainWindow::Init() {
  // The system menu's About entry.
  if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAboutCommand, L"&About Tarvo...");
  }
  HINSTANCE self = GetModuleHandleW(nullptr);
  icon_ =
      static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  small_icon_ = static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0));
  if (icon_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  if (small_icon_)
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

  // The port and pipe radio buttons are only remembered.
  values_ = station::ReadPortPipe(runtime_.settings());
  CheckRadioButton(hwnd_, kPortIds[0], kPortIds[1], kPortIds[values_.port]);
  CheckRadioButton(hwnd_, kPipeIds[0], kPipeIds[2], kPipeIds[values_.pipe]);
  for (int id : kPortIds) ShowWindow(GetDlgItem(hwnd_, id), SW_HIDE);
  for (int id : kPipeIds) ShowWindow(GetDlgItem(hwnd_, id), SW_HIDE);

  worker_ = std::make_unique<DeviceWorker>(hwnd_, kOperationEndedMessage);
  sheet_ = CreateWindowExW(
      0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 10, 10,
      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSheetId)), self, nullptr);
  SendMessageW(sheet_, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
  HWND status =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 10, 10, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), self, nullptr);
  SendMessageW(status, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
  runtime_.wait_status().Attach(hwnd_, kWaitStatusMessage);
  for (int i = 0; i < kPageCount; ++i) {
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(pages_[static_cast<size_t>(i)]->caption());
    SendMessageW(sheet_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab));
    pages_[static_cast<size_t>(i)]->Create(hwnd_);
  }
  Place();
  SelectPage(0);
}

void MainWindow::Place() {
  // The sheet fits the largest page; "Exit" sits below it at the right.
  RECT display{0, 0, OperationPageWindow::kWidth, OperationPageWindow::kHeight};
  RECT sheet = display;
  SendMessageW(sheet_, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&sheet));
  OffsetRect(&sheet, kMargin - sheet.left, kMargin - sheet.top);
  display = sheet;
  SendMessageW(sheet_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  MoveWindow(sheet_, sheet.left, sheet.top, sheet.right - sheet.left, sheet.bottom - sheet.top,
             FALSE);
  for (const auto& page : pages_) {
    SetWindowPos(page->hwnd(), HWND_TOP, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, SWP_NOACTIVATE);
  }
  RECT client{0, 0, sheet.right + kMargin, sheet.bottom + kMargin + kExitHeight + kMargin};
  MoveWindow(GetDlgItem(hwnd_, kExitId), client.right - kMargin - kExitWidth,
             sheet.bottom + kMargin, kExitWidth, kExitHeight, FALSE);
  MoveWindow(GetDlgItem(hwnd_, kStatusId), kMargin * 2, sheet.bottom + kMargin + 6,
             client.right - kMargin * 4 - kExitWidth, kExitHeight - 6, FALSE);
  RECT frame = client;
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd_, nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
               work.top + std::max(0L, (work.bottom - work.top - height) / 2), width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SelectPage(int index) {
  if (index < 0 || index >= kPageCount) return;
  if (index != current_) pages_[static_cast<size_t>(current_)]->Left();
  current_ = index;
  if (SendMessageW(sheet_, TCM_GETCURSEL, 0, 0) != index) {
    SendMessageW(sheet_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  for (int i = 0; i < kPageCount; ++i) {
    ShowWindow(pages_[static_cast<size_t>(i)]->hwnd(), i == index ? SW_SHOW : SW_HIDE);
  }
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) Exit();
      if (LOWORD(wparam) == IDCANCEL) Close();
      return TRUE;
    case WM_NOTIFY: {
      const auto* note = reinterpret_cast<const NMHDR*>(lparam);
      if (note->hwndFrom == sheet_ && note->code == TCN_SELCHANGE) {
        SelectPage(static_cast<int>(SendMessageW(sheet_, TCM_GETCURSEL, 0, 0)));
        return TRUE;
      }
      return FALSE;
    }
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == kAboutCommand) {
        if (!busy()) ShowAbout();
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      ++paints_;
      if (IsIconic(hwnd_) && icon_) {
        // Minimised: the application icon, centred.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT r;
        GetClientRect(hwnd_, &r);
        DrawIcon(dc, (r.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                 (r.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, icon_);
        EndPaint(hwnd_, &ps);
        return TRUE;
      }
      return FALSE;
    case WM_QUERYDRAGICON:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(icon_));
      return TRUE;
    case kOperationEndedMessage:
      OperationEnded();
      return TRUE;
    case kWaitStatusMessage:
      ShowWaitStatus();
      return TRUE;
    case WM_TIMER:
      if (wparam != kWaitStatusTimer) return FALSE;
      ShowWaitStatus();
      return TRUE;
    default:
      return FALSE;
  }
}

bool MainWindow::RunOperation(Operation operation, bool reaches_printer) {
  if (!worker_ || worker_->busy() || close_when_idle_) return false;
  runtime_.stop().Clear();
  ProgramRuntime* rt = &runtime_;
  const bool started = worker_->Start([rt, operation = std::move(operation)] {
    runtime::OperationEnd end(rt->ctx());  // the wire log's lines are in the file
    operation(rt->ctx(), rt->link());
  });
  if (started) {
    reaching_printer_ = reaches_printer;
    SetBusy(true);
  }
  return started;
}

void MainWindow::OperationEnded() {
  const std::string failure = worker_->Ended();
  if (!failure.empty()) std::cerr << "Tarvo: the operation ended: " << failure << "\n";
  if (reaching_printer_) discovered_ = true;
  SetBusy(false);
  for (const auto& page : pages_) page->OperationEnded();
  if (close_when_idle_) End(IDCANCEL);
}

void MainWindow::SetBusy(bool busy) {
  for (const auto& page : pages_) page->SetDeviceBusy(busy);
  if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
    EnableMenuItem(menu, kAboutCommand, MF_BYCOMMAND | (busy ? MF_GRAYED : MF_ENABLED));
  }
}

void MainWindow::ShowWaitStatus() {
  const WaitStatusLine& waits = runtime_.wait_status();
  HWND status = GetDlgItem(hwnd_, kStatusId);
  const std::wstring line = win32ui::Wide(waits.Line());
  if (TextOf(status) != line) SetWindowTextW(status, line.c_str());
  const int64_t next = waits.NextChangeMs();
  if (next < 0) {
    KillTimer(hwnd_, kWaitStatusTimer);
  } else {
    SetTimer(hwnd_, kWaitStatusTimer, static_cast<UINT>(std::max<int64_t>(next, 1)), nullptr);
  }
}

void MainWindow::ShowAbout() {
  CopyRadiosToValues();
  // No command of the printer returns its identification record: its lines show their labels.
  // Until a discovery has run no system family is known, and the Windows 9x keys are read.
  const station::AboutBox box = station::BuildAboutBox(
      station::PrinterIdRecord{}, ReadWindowsFacts(discovered_ && NtPlatform()));
  ShowAboutBox(box, hwnd_);
}

void MainWindow::CopyRadiosToValues() {
  values_.port = Checked(hwnd_, kPortIds, 2);
  values_.pipe = Checked(hwnd_, kPipeIds, 3);
}

bool MainWindow::MayCloseWhileBusy() {
  if (close_when_idle_) return false;
  const Reply reply =
      win32ui::ShowMessageBox(Message{"A printer operation is still running.\nStop it and exit?",
                                      "EXIT", Icon::kInformation, Buttons::kYesNo});
  if (reply != Reply::kYes || !busy()) return reply == Reply::kYes;
  close_when_idle_ = true;
  runtime_.stop().Request();
  return false;
}

void MainWindow::Exit() {
  if (busy()) {
    if (MayCloseWhileBusy()) End(IDOK);
    return;
  }
  const Reply reply = win32ui::ShowMessageBox(
      Message{"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo});
  if (reply != Reply::kYes) return;
  CopyRadiosToValues();
  End(IDOK);
}

void MainWindow::Close() {
  if (busy()) {
    if (MayCloseWhileBusy()) End(IDCANCEL);
    return;
  }
  End(IDCANCEL);
}

void MainWindow::End(INT_PTR result) {
  if (!written_) {
    written_ = true;
    station::WritePortPipe(runtime_.settings(), values_);
  }
  EndDialog(hwnd_, result);
}

}  // namespace tarvo::win32app
