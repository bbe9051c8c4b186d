#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace tarvo::win32app {

// The GUI thread as the device worker reaches it: a message-only window of that thread runs the
// calls sent to it, so the operator's windows are made, shown and destroyed where the main window
// lives. The calling thread blocks until the call has run; the GUI thread serves it in whatever
// message loop it is in, a modal dialog's or a message box's included.
class GuiThread {
 public:
  // On the GUI thread.
  GuiThread();
  ~GuiThread();
  GuiThread(const GuiThread&) = delete;
  GuiThread& operator=(const GuiThread&) = delete;

  bool here() const { return GetCurrentThreadId() == thread_; }

  // Runs `f` on the GUI thread and returns its result; an exception it throws is thrown again in
  // the caller. On the GUI thread itself it is a plain call.
  template <typename F>
  auto Call(F&& f) -> std::invoke_result_t<F&> {
    using R = std::invoke_result_t<F&>;
    if constexpr (std::is_void_v<R>) {
      Run([&] { f(); });
    } else {
      std::optional<R> result;
      Run([&] { result.emplace(f()); });
      return std::move(*result);
    }
  }

 private:
  void Run(const std::function<void()>& f);
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  DWORD thread_;
  HWND hwnd_ = nullptr;
};

}  // namespace tarvo::win32app
