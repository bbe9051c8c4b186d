#pragma once

// Drives the program's own windows on the test's thread without a person: a thread timer fires
// in whatever message loop runs there (the main window's, a dialog's, a message box's) and runs
// the next step of a script. An action runs once (taken off before it runs, since a click may
// open a window whose own loop needs the next step); a wait is asked again at every tick until
// it holds. Clicks and keys are posted to the real controls as the system would deliver them.
#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win32ui/wide_text.h"
#include "win32ui/window_robot_test.h"

namespace tarvo::win32app::testing {

using win32ui::testing::WindowText;

inline std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// A button's text as a person reads it: without the mnemonic's "&".
inline std::wstring Plain(std::wstring text) {
  std::erase(text, L'&');
  return text;
}

inline bool SameText(const std::wstring& a, const std::wstring& b) {
  return lstrcmpiW(Plain(a).c_str(), Plain(b).c_str()) == 0;
}

inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  return children;
}

inline bool IsRadio(HWND control) {
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return ClassOf(control) == L"Button" && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

inline bool IsPush(HWND control) {
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return ClassOf(control) == L"Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// A click on a button, as the mouse gives it.
inline void Click(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

// Typing into an edit box: its text selected, then the keys' characters.
inline void TypeKeys(HWND edit, const std::wstring& text) {
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
}

inline void ClickAt(HWND control, POINT at, bool twice) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(control, WM_LBUTTONUP, 0, where);
  if (!twice) return;
  PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
  PostMessageW(control, WM_LBUTTONUP, 0, where);
}

// A double-click on row `row` of a list box, brought into view first.
inline bool DoubleClickRow(HWND list, int row) {
  if (!IsWindowEnabled(list)) return false;
  SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row > 3 ? row - 3 : 0), 0);
  RECT r{};
  if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) ==
      LB_ERR) {
    return false;
  }
  ClickAt(list, POINT{r.left + 20, (r.top + r.bottom) / 2}, true);
  return true;
}

// A click on tab `index` of a tab control.
inline void ClickTab(HWND tabs, int index) {
  RECT r{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  ClickAt(tabs, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, false);
}

struct WindowSearch {
  const std::wstring* caption;
  HWND not_this;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lparam) {
  auto* s = reinterpret_cast<WindowSearch*>(lparam);
  if (hwnd != s->not_this && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
      WindowText(hwnd) == *s->caption) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The visible, enabled top-level window of this thread with `caption`, other than `not_this`.
inline HWND FindWindowNamed(const std::wstring& caption, HWND not_this = nullptr) {
  WindowSearch search{&caption, not_this};
  EnumThreadWindows(GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Closes a window the way that ends it whatever it is: a Yes/No box has no Cancel.
inline BOOL CALLBACK CancelWindow(HWND hwnd, LPARAM) {
  PostMessageW(hwnd, WM_COMMAND, IDNO, 0);
  PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

// Answers a window in the words of the operator scripts: message boxes "ok", "yes", "no";
// dialogs "ok [TEXT]", "enter TEXT", "choose N" (the radio button whose text is N, else the
// N-th), "pass" / "fail" (the button of that name, or that verdict in every row of an
// inspection), "inspect V1 V2 ...", "cancel", or any button's name after TEXT typed into the
// first edit box ("reprint 2"). False when the window has no such control.
inline bool Answer(HWND window, const std::string& answer_utf8) {
  const std::wstring answer = win32ui::Wide(answer_utf8);
  const size_t space = answer.find(L' ');
  const std::wstring word = answer.substr(0, space);
  const std::wstring rest = space == std::wstring::npos ? L"" : answer.substr(space + 1);
  const std::vector<HWND> controls = Children(window);
  auto button_named = [&](const std::wstring& name) -> HWND {
    for (HWND c : controls) {
      if (IsPush(c) && IsWindowEnabled(c) && SameText(WindowText(c), name)) return c;
    }
    return nullptr;
  };
  auto first_edit = [&]() -> HWND {
    for (HWND c : controls) {
      if (ClassOf(c) == L"Edit" && IsWindowEnabled(c) &&
          !(GetWindowLongW(c, GWL_STYLE) & ES_READONLY)) {
        return c;
      }
    }
    return nullptr;
  };
  auto ok = [&]() {
    HWND button = GetDlgItem(window, IDOK);
    if (!button) return false;
    Click(button);
    return true;
  };
  if (word == L"yes" || word == L"no") {
    if (HWND b = GetDlgItem(window, word == L"yes" ? IDYES : IDNO)) return Click(b), true;
  }
  if (word == L"enter" || (word == L"ok" && !rest.empty())) {
    HWND edit = first_edit();
    if (!edit) return false;
    TypeKeys(edit, rest);
    return ok();
  }
  if (word == L"ok") return ok();
  if (word == L"cancel") {
    HWND b = GetDlgItem(window, IDCANCEL);
    return b && (Click(b), true);
  }
  std::vector<HWND> radios;
  for (HWND c : controls) {
    if (IsRadio(c)) radios.push_back(c);
  }
  if (word == L"choose") {
    HWND chosen = nullptr;
    for (HWND r : radios) {
      if (SameText(WindowText(r), rest)) chosen = r;
    }
    const size_t index = static_cast<size_t>(_wtoi(rest.c_str()));
    if (!chosen && index < radios.size()) chosen = radios[index];
    if (!chosen) return false;
    SendMessageW(chosen, BM_CLICK, 0, 0);
    return ok();
  }
  if (word == L"inspect" || ((word == L"pass" || word == L"fail") && !button_named(word))) {
    std::vector<std::wstring> verdicts;
    if (word == L"inspect") {
      for (size_t at = 0; at < rest.size();) {
        size_t end = rest.find(L' ', at);
        if (end == std::wstring::npos) end = rest.size();
        if (end > at) verdicts.push_back(rest.substr(at, end - at));
        at = end + 1;
      }
    } else {
      verdicts.assign(radios.size() / 2, word);
    }
    if (verdicts.empty() || verdicts.size() * 2 != radios.size()) return false;
    for (size_t row = 0; row < verdicts.size(); ++row) {
      HWND pick = nullptr;
      for (size_t k = row * 2; k < row * 2 + 2; ++k) {
        if (SameText(WindowText(radios[k]), verdicts[row])) pick = radios[k];
      }
      if (!pick) return false;
      SendMessageW(pick, BM_CLICK, 0, 0);
    }
    return ok();
  }
  HWND button = button_named(word);
  if (!button) return false;
  if (!rest.empty()) {
    HWND edit = first_edit();
    if (!edit) return false;
    TypeKeys(edit, rest);
  }
  Click(button);
  return true;
}

// The script. Steps run in order from the thread timer; a step that does not come within
// `limit` ticks fails the script, and `on_give_up` then ends what is running.
class Script {
 public:
  explicit Script(std::function<void()> on_give_up) : give_up_(std::move(on_give_up)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 10, &Script::Tick);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  // Runs once.
  Script& Do(std::string what, std::function<void()> action) {
    steps_.push_back({std::move(what), [a = std::move(action)] { return a(), true; }, true});
    return *this;
  }
  // Holds the script until `condition` is true.
  Script& Until(std::string what, std::function<bool()> condition) {
    steps_.push_back({std::move(what), std::move(condition), false});
    return *this;
  }
  // Answers the window `name` ("dialog 179 Input Head ID", "message Head ID: Write EEPROM
  // Success !!") once it is up; `check` runs just before.
  Script& Answer(const std::string& name, const std::string& answer,
                 std::function<void()> check = {});

  // Every step ran (a last window may still be on its way out).
  bool done() const {
    return failure_.empty() &&
           std::all_of(steps_.begin(), steps_.end(), [](const Step& step) { return step.settles; });
  }
  const std::string& failure() const { return failure_; }

  static constexpr int kLimit = 3000;  // ticks of 10 ms

 private:
  struct Step {
    std::string what;
    std::function<bool()> run;
    bool once;
    bool settles = false;  // waits for an answered window to go
  };
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = current_;
    // Once given up, everything that is still up is ended at every tick until the test ends.
    if (s && s->gave_up_) {
      if (s->give_up_) s->give_up_();
      return;
    }
    // Nothing left to do, and what runs does not end: it will not end by itself.
    if (s && s->steps_.empty() && ++s->ticks_ > kLimit) {
      s->failure_ = "the windows did not end after the last step";
      s->gave_up_ = true;
      return;
    }
    while (s && !s->steps_.empty()) {
      if (++s->ticks_ > kLimit) {
        s->failure_ = "gave up waiting for: " + s->steps_.front().what;
        s->steps_.clear();
        s->gave_up_ = true;
        return;
      }
      Step step = s->steps_.front();
      if (step.once) s->steps_.pop_front();
      if (!step.run()) return;
      if (!step.once) s->steps_.pop_front();
      s->ticks_ = 0;
      s = current_;
    }
  }

  static inline Script* current_ = nullptr;
  UINT_PTR timer_ = 0;
  std::deque<Step> steps_;
  int ticks_ = 0;
  std::string failure_;
  bool gave_up_ = false;
  std::function<void()> give_up_;
};

inline Script& Script::Answer(const std::string& name, const std::string& answer,
                              std::function<void()> check) {
  // "message CAPTION: TEXT" or "dialog ID CAPTION".
  std::wstring caption, text;
  if (name.rfind("message ", 0) == 0) {
    const size_t colon = name.find(": ");
    caption = win32ui::Wide(name.substr(8, colon - 8));
    text = win32ui::Wide(name.substr(colon + 2));
  } else {
    const size_t space = name.find(' ', 7);
    caption = win32ui::Wide(name.substr(space + 1));
  }
  auto answered = std::make_shared<HWND>(nullptr);
  steps_.push_back({name,
                    [this, name, caption, text, answer, check, answered] {
                      HWND window = FindWindowNamed(caption);
                      if (!window) return false;
                      if (!text.empty()) {
                        bool seen = false;
                        for (const std::wstring& line : win32ui::testing::StaticTexts(window)) {
                          seen = seen || line.find(text) != std::wstring::npos;
                        }
                        // Not this one (yet): its text may still be coming.
                        if (!seen) return false;
                      }
                      if (check) check();
                      if (!testing::Answer(window, answer))
                        failure_ = "cannot answer " + name + " with " + answer;
                      *answered = window;
                      return true;
                    },
                    false});
  // The answer is posted: the window goes before the next step looks for its successor.
  steps_.push_back({name + " closed",
                    [answered] { return !IsWindow(*answered) || !IsWindowVisible(*answered); },
                    false, true});
  return *this;
}

#ifdef TARVO_SCREENSHOT_DIR
// Where the tests' pictures go: `name`.png in the build's screenshots folder.
inline std::string ScreenshotPath(const std::string& name) {
  std::filesystem::create_directories(TARVO_SCREENSHOT_DIR);
  return (std::filesystem::path(TARVO_SCREENSHOT_DIR) / (name + ".png")).string();
}
#endif

// The window as it is on the screen, frame included, as a PNG file (stored, not compressed).
inline bool SavePng(HWND hwnd, const std::string& path) {
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
  info.biHeight = -h;  // top-down
  info.biPlanes = 1;
  info.biBitCount = 32;
  std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), bgra.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  std::vector<uint8_t> raw;  // filter byte 0, then RGB
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &bgra[(static_cast<size_t>(y) * w + x) * 4];
      raw.insert(raw.end(), {p[2], p[1], p[0]});
    }
  }
  auto crc = [](const uint8_t* data, size_t n, uint32_t c = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; ++i) {
      c ^= data[i];
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c;
  };
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n >= raw.size();
    z.insert(z.end(),
             {static_cast<uint8_t>(last), static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
              static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
             raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
    if (last) break;
  }
  const uint32_t adler = (b << 16) | a;
  z.insert(z.end(), {static_cast<uint8_t>(adler >> 24), static_cast<uint8_t>(adler >> 16),
                     static_cast<uint8_t>(adler >> 8), static_cast<uint8_t>(adler)});
  std::ofstream out(path, std::ios::binary);
  auto be32 = [&out](uint32_t v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.write(bytes, 4);
  };
  auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    be32(static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.write(reinterpret_cast<const char*>(typed.data()),
              static_cast<std::streamsize>(typed.size()));
    be32(crc(typed.data(), typed.size()) ^ 0xFFFFFFFFu);
  };
  out.write("\x89PNG\r\n\x1a\n", 8);
  std::vector<uint8_t> header;
  for (uint32_t v : {static_cast<uint32_t>(w), static_cast<uint32_t>(h)}) {
    header.insert(header.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
  }
  header.insert(header.end(), {8, 2, 0, 0, 0});
  chunk("IHDR", header);
  chunk("IDAT", z);
  chunk("IEND", {});
  return static_cast<bool>(out);
}

}  // namespace tarvo::win32app::testing
