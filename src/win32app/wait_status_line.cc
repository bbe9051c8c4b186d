#include "win32app/wait_status_line.h"

#include <utility>

namespace tarvo::win32app {

WaitStatusLine::WaitStatusLine(Now now) : now_(std::move(now)) {
  // GetTickCount wraps after 49.7 days; a wait's count is read within seconds of its start.
  if (!now_) now_ = [] { return static_cast<int64_t>(GetTickCount()); };
}

void WaitStatusLine::Attach(HWND window, UINT message) {
  std::lock_guard<std::mutex> lock(mutex_);
  window_ = window;
  message_ = message;
}

void WaitStatusLine::Begins(std::string_view label, int64_t ms) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    countdown_.Begin(std::string(label), ms, now_());
  }
  Tell();
}

void WaitStatusLine::Ends() noexcept {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    countdown_.End();
  }
  Tell();
}

std::string WaitStatusLine::Line() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return countdown_.Line(now_());
}

int64_t WaitStatusLine::NextChangeMs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return countdown_.NextChangeMs(now_());
}

void WaitStatusLine::Tell() const {
  std::lock_guard<std::mutex> lock(mutex_);
  // Posted, never sent: the worker does not wait for the window.
  if (window_) PostMessageW(window_, message_, 0, 0);
}

}  // namespace tarvo::win32app
