#pragma once

// Answers the windows a test shows, without a person, from inside their own message loops: a
// thread timer fires in whatever loop runs on the test's thread (a dialog's, a message box's, a
// file dialog's), finds the next window awaited among the thread's top-level windows and acts on
// it: types with WM_SETTEXT, clicks with BM_CLICK, reads texts back. Nothing sleeps: the steps run
// as the loops deliver the timer.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarvo::win32ui::testing {

inline std::wstring WindowText(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, 512);
  return text;
}

inline std::wstring ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

inline void Type(HWND dialog, int id, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline void Click(HWND dialog, int id) {
  SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The texts of a window's static children, in order (a message box's text, a dialog's labels).
inline std::vector<std::wstring> StaticTexts(HWND hwnd) {
  std::vector<std::wstring> texts;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
      texts.push_back(WindowText(child));
    }
  }
  return texts;
}

class Robot {
 public:
  using Step = std::function<void(HWND)>;

  Robot() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &Robot::Tick);
  }
  ~Robot() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  Robot(const Robot&) = delete;
  Robot& operator=(const Robot&) = delete;

  // Acts on the next enabled, visible window with `caption` once it is there.
  Robot& When(std::wstring caption, Step step) {
    steps_.push_back({std::move(caption), std::move(step)});
    return *this;
  }

  // True when every step ran; a step never reached is given up after `limit_` timer ticks, and
  // every window of the thread is then cancelled so that the test ends.
  bool done() const { return steps_.empty() && !gave_up_; }
  const std::wstring& waiting_for() const { return waiting_for_; }

 private:
  struct Awaited {
    std::wstring caption;
    Step step;
  };

  struct Search {
    const std::wstring* caption;
    HWND found = nullptr;
  };

  static BOOL CALLBACK Match(HWND hwnd, LPARAM lparam) {
    auto* search = reinterpret_cast<Search*>(lparam);
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && WindowText(hwnd) == *search->caption) {
      search->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }

  static BOOL CALLBACK CancelAll(HWND hwnd, LPARAM) {
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(hwnd, WM_COMMAND, IDNO, 0);  // a Yes/No box has no cancel
    return TRUE;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Robot* robot = current_;
    if (!robot || robot->steps_.empty()) return;
    if (++robot->ticks_ > kLimit) {
      robot->gave_up_ = true;
      robot->waiting_for_ = robot->steps_.front().caption;
      robot->steps_.clear();
      EnumThreadWindows(GetCurrentThreadId(), &Robot::CancelAll, 0);
      return;
    }
    Search search{&robot->steps_.front().caption};
    EnumThreadWindows(GetCurrentThreadId(), &Robot::Match, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    // Taken off before it runs: a click may open a box whose own loop needs the next step.
    Step step = std::move(robot->steps_.front().step);
    robot->steps_.pop_front();
    robot->ticks_ = 0;
    step(search.found);
  }

  static constexpr int kLimit = 3000;  // timer ticks without the awaited window
  static inline Robot* current_ = nullptr;
  UINT_PTR timer_ = 0;
  std::deque<Awaited> steps_;
  int ticks_ = 0;
  bool gave_up_ = false;
  std::wstring waiting_for_;
};

}  // namespace tarvo::win32ui::testing
