#include "win32ui/wait_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/wait_windows.h"
#include "win32ui/dialog_layout.h"
#include "win32ui/dialog_template.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32ui {
namespace {

constexpr UINT_PTR kTicker = 1;
constexpr UINT kTickMs = 500;

void RegisterProgressBar() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)done;
}

DialogSpec WaitSpec(const WaitWindow& window) {
  const int width = std::max(160, TextWidth(window.text) + 20);
  DialogSpec spec;
  spec.caption = Wide(window.caption);
  // No WS_SYSMENU: no close box; the operation that opened the window closes it.
  spec.style = DS_MODALFRAME | DS_CENTER | DS_3DLOOK | WS_POPUP | WS_CAPTION;
  spec.cx = width + 14;
  spec.cy = 64;
  TemplateItem text{ItemClass::kStatic, {}, SS_CENTER, 7, 10, width, 18, WaitWindowView::kTextId,
                    Wide(window.text)};
  TemplateItem countdown{ItemClass::kStatic,           {}, SS_CENTER, 7, 30, width, 9,
                         WaitWindowView::kCountdownId, L""};
  TemplateItem bar{
      ItemClass::kNamed, PROGRESS_CLASSW, 0, 7, 42, width, 10, WaitWindowView::kBarId, L""};
  spec.items = {text, countdown, bar};
  return spec;
}

}  // namespace

WaitWindowView::WaitWindowView(const WaitWindow& window, HWND owner) : window_(window) {
  RegisterProgressBar();
  const std::vector<uint16_t> dialog = BuildTemplate(WaitSpec(window));
  hwnd_ = CreateDialogIndirectParamW(ThisModule(), reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()),
                                     owner, &WaitWindowView::Proc, reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return;  // the wait goes on without its window
  SetPropW(hwnd_, kServedDuringWaits, reinterpret_cast<HANDLE>(1));
  SendDlgItemMessageW(hwnd_, kBarId, PBM_SETRANGE32, 0, 1000);
  Show(kCountdownId, false);
  Show(kBarId, false);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
}

WaitWindowView::~WaitWindowView() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTicker);
  RemovePropW(hwnd_, kServedDuringWaits);
  DestroyWindow(hwnd_);
}

INT_PTR CALLBACK WaitWindowView::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
      return FALSE;  // the window takes no focus
    case WM_TIMER:
      if (wparam == kTicker) {
        if (auto* view = reinterpret_cast<WaitWindowView*>(GetWindowLongPtrW(hwnd, DWLP_USER))) {
          view->Tick();
        }
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:  // Esc does not close a wait window
    case WM_CLOSE:
      return TRUE;
    default:
      return FALSE;
  }
}

void WaitWindowView::Show(int id, bool shown) {
  ShowWindow(GetDlgItem(hwnd_, id), shown ? SW_SHOWNA : SW_HIDE);
}

void WaitWindowView::StartWait(int64_t ms) {
  if (!hwnd_) return;
  ++started_;
  wait_ms_ = std::max<int64_t>(ms, 0);
  since_ = GetTickCount64();
  Show(kCountdownId, true);
  Show(kBarId, true);
  Tick();
  SetTimer(hwnd_, kTicker, kTickMs, nullptr);
}

void WaitWindowView::EndWait() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTicker);
  if (window_.waits > 0 && started_ > 0) {
    // Between the waits of one span the count and the bar stay where this wait left them.
    since_ = GetTickCount64() - static_cast<uint64_t>(wait_ms_);
    Tick();
    return;
  }
  wait_ms_ = 0;
  SetDlgItemTextW(hwnd_, kCountdownId, L"");
  Show(kCountdownId, false);
  Show(kBarId, false);
  UpdateWindow(hwnd_);
}

void WaitWindowView::Tick() {
  const auto elapsed = static_cast<int64_t>(GetTickCount64() - since_);
  const WaitShown shown = ShowWait(window_, started_, wait_ms_, elapsed);
  SetDlgItemTextW(hwnd_, kCountdownId,
                  (std::to_wstring(SecondsLeft(shown.left_ms)) + L" s").c_str());
  SendDlgItemMessageW(hwnd_, kBarId, PBM_SETPOS, static_cast<WPARAM>(shown.permille), 0);
  if (elapsed >= wait_ms_) KillTimer(hwnd_, kTicker);
  UpdateWindow(hwnd_);
}

void WaitWindowView::Progress(uint64_t sent, uint64_t total) {
  if (!hwnd_) return;
  Show(kBarId, true);
  const uint64_t permille = total ? std::min(sent, total) * 1000 / total : 1000;
  SendDlgItemMessageW(hwnd_, kBarId, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
  SetDlgItemTextW(hwnd_, kCountdownId, (std::to_wstring(permille / 10) + L" %").c_str());
  Show(kCountdownId, true);
  UpdateWindow(hwnd_);
}

std::wstring WaitWindowView::countdown_text() const {
  HWND countdown = GetDlgItem(hwnd_, kCountdownId);
  if (!IsWindowVisible(countdown)) return L"";
  wchar_t text[64] = {};
  GetWindowTextW(countdown, text, 64);
  return text;
}

int WaitWindowView::progress_permille() const {
  return static_cast<int>(SendDlgItemMessageW(hwnd_, kBarId, PBM_GETPOS, 0, 0));
}

}  // namespace tarvo::win32ui
