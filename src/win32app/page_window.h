#pragma once

#include <windows.h>

#include <string>

namespace tarvo::win32app {

// One page of the main window's sheet as a native child dialog: the view of a page model. It
// shows the model and hands what the person did to the host's worker; every rule stays in the
// model. Controls are placed in pixels of the page's client area.
class PageWindow {
 public:
  virtual ~PageWindow();
  PageWindow() = default;
  PageWindow(const PageWindow&) = delete;
  PageWindow& operator=(const PageWindow&) = delete;

  // Makes the page, hidden, as a child of `parent`.
  HWND Create(HWND parent);
  HWND hwnd() const { return hwnd_; }
  HWND item(int id) const { return GetDlgItem(hwnd_, id); }

  virtual const wchar_t* caption() const = 0;
  // An operation started (true) or ended (false), on any page: the page's device controls are
  // disabled while one runs.
  virtual void SetDeviceBusy(bool busy) = 0;
  // An operation has ended and the worker has let go of the models: show them again.
  virtual void OperationEnded() {}
  // The page's tab was left.
  virtual void Left() {}

 protected:
  // Makes the controls (WM_INITDIALOG).
  virtual void Build() = 0;
  virtual void Command(int /*id*/, int /*code*/) {}
  // Any other message; TRUE when handled.
  virtual INT_PTR Other(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) { return FALSE; }

  // A control at `x, y, cx, cy` pixels, in the page's font.
  HWND Add(const wchar_t* window_class, const std::wstring& text, DWORD style, int x, int y, int cx,
           int cy, int id, DWORD ex_style = 0);
  // A read-only edit box with its label to the left.
  HWND AddField(HWND parent, int id, const std::wstring& label, const RECT& label_at,
                const RECT& edit_at);

  HWND hwnd_ = nullptr;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
};

// Sets a control's text only when it differs (no flicker).
void SetText(HWND control, const std::wstring& text);
std::wstring TextOf(HWND control);

}  // namespace tarvo::win32app
