#include "win32app/gui_thread.h"

#include <stdexcept>

namespace tarvo::win32app {
namespace {

constexpr wchar_t kClass[] = L"TarvoGuiCalls";
constexpr UINT kCall = WM_APP + 1;

struct Pending {
  const std::function<void()>* f;
  std::exception_ptr failure;
};

}  // namespace

GuiThread::GuiThread() : thread_(GetCurrentThreadId()) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &GuiThread::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);  // fails harmlessly when a second one registers it again
  hwnd_ =
      CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!hwnd_) throw std::runtime_error("cannot make the GUI thread's call window");
}

GuiThread::~GuiThread() {
  DestroyWindow(hwnd_);
}

void GuiThread::Run(const std::function<void()>& f) {
  if (here()) return f();
  Pending pending{&f, nullptr};
  SendMessageW(hwnd_, kCall, 0, reinterpret_cast<LPARAM>(&pending));
  if (pending.failure) std::rethrow_exception(pending.failure);
}

LRESULT CALLBACK GuiThread::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != kCall) return DefWindowProcW(hwnd, message, wparam, lparam);
  auto* pending = reinterpret_cast<Pending*>(lparam);
  // Nothing may unwind through the system's frames: the failure goes back to the caller.
  try {
    (*pending->f)();
  } catch (...) {
    pending->failure = std::current_exception();
  }
  return 0;
}

}  // namespace tarvo::win32app
