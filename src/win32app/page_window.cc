#include "win32app/page_window.h"

#include "win32app/result_button.h"
#include "win32ui/dialog_template.h"

namespace tarvo::win32app {

PageWindow::~PageWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND PageWindow::Create(HWND parent) {
  win32ui::DialogSpec spec;
  spec.caption = caption();
  spec.style = WS_CHILD | DS_CONTROL;
  spec.font_points = 8;
  const std::vector<uint16_t> dialog = win32ui::BuildTemplate(spec);
  CreateDialogIndirectParamW(win32ui::ThisModule(),
                             reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), parent,
                             &PageWindow::Proc, reinterpret_cast<LPARAM>(this));
  return hwnd_;
}

INT_PTR CALLBACK PageWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* page = reinterpret_cast<PageWindow*>(lparam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    page->hwnd_ = hwnd;
    page->Build();
    return FALSE;
  }
  auto* page = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!page) return FALSE;
  switch (message) {
    case WM_COMMAND:
      page->Command(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_DRAWITEM:
      return DrawResultButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)) ? TRUE : FALSE;
    case WM_DESTROY:
      page->hwnd_ = nullptr;
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      return FALSE;
    default:
      return page->Other(message, wparam, lparam);
  }
}

HWND PageWindow::Add(const wchar_t* window_class, const std::wstring& text, DWORD style, int x,
                     int y, int cx, int cy, int id, DWORD ex_style) {
  HWND control = CreateWindowExW(
      ex_style, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
  return control;
}

HWND PageWindow::AddField(HWND parent, int id, const std::wstring& label, const RECT& label_at,
                          const RECT& edit_at) {
  POINT origin{0, 0};
  MapWindowPoints(parent, hwnd_, &origin, 1);
  Add(L"STATIC", label, SS_LEFT, origin.x + label_at.left, origin.y + label_at.top,
      label_at.right - label_at.left, label_at.bottom - label_at.top, -1);
  return Add(L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY, origin.x + edit_at.left,
             origin.y + edit_at.top, edit_at.right - edit_at.left, edit_at.bottom - edit_at.top, id,
             WS_EX_CLIENTEDGE);
}

void SetText(HWND control, const std::wstring& text) {
  if (TextOf(control) != text) SetWindowTextW(control, text.c_str());
}

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), int(text.size()))));
  return text;
}

}  // namespace tarvo::win32app
