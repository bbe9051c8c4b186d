#include "win32ui/message_box.h"

#include <windows.h>

#include "win32ui/wide_text.h"

namespace tarvo::win32ui {
namespace {

// Puts the box on top when it is activated, for the systems that do not honour MB_TOPMOST
// themselves (Wine, where the line's tests run).
thread_local HHOOK t_hook = nullptr;

LRESULT CALLBACK OnTop(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    auto box = reinterpret_cast<HWND>(wparam);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && !(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
      SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  return CallNextHookEx(t_hook, code, wparam, lparam);
}

}  // namespace

Reply ShowMessageBox(const Message& message) {
  UINT type = MB_TOPMOST | MB_SETFOREGROUND | MB_TASKMODAL;
  type |= message.icon == Icon::kError ? MB_ICONERROR : MB_ICONINFORMATION;
  type |= message.buttons == Buttons::kYesNo ? MB_YESNO : MB_OK;
  HHOOK outer = t_hook;
  t_hook = SetWindowsHookExW(WH_CBT, &OnTop, nullptr, GetCurrentThreadId());
  const int answer =
      MessageBoxW(nullptr, Wide(message.text).c_str(), Wide(message.caption).c_str(), type);
  if (t_hook) UnhookWindowsHookEx(t_hook);
  t_hook = outer;
  if (message.buttons == Buttons::kOk) return Reply::kOk;
  return answer == IDYES ? Reply::kYes : Reply::kNo;
}

}  // namespace tarvo::win32ui
