#include "win32app/result_button.h"

namespace tarvo::win32app {
namespace {

// Marks the window as a result button; GWLP_USERDATA holds its state.
constexpr wchar_t kResultProp[] = L"tarvo.result-button";
// The frame of a push button as the station's result buttons have always had it.
constexpr UINT kFrameState = 0x9013;

int Valid(int state) {
  return state >= 0 && state <= 7 ? state : 0;
}

}  // namespace

HWND CreateResultButton(HWND parent, int id, const std::wstring& text, const RECT& at, int state) {
  HWND button = CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                at.left, at.top, at.right - at.left, at.bottom - at.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!button) return nullptr;
  SetPropW(button, kResultProp, reinterpret_cast<HANDLE>(1));
  SetWindowLongPtrW(button, GWLP_USERDATA, Valid(state));
  return button;
}

void SetResultState(HWND button, int state) {
  state = Valid(state);
  if (ResultState(button) == state) return;
  SetWindowLongPtrW(button, GWLP_USERDATA, state);
  InvalidateRect(button, nullptr, TRUE);
}

int ResultState(HWND button) {
  return Valid(static_cast<int>(GetWindowLongPtrW(button, GWLP_USERDATA)));
}

COLORREF ResultTextColour(int state) {
  switch (Valid(state) % 4) {
    case 1:
      return RGB(255, 0, 0);
    case 2:
      return RGB(0, 180, 0);
    case 3:
      return RGB(0, 0, 255);
    default:
      return RGB(0, 0, 0);
  }
}

int ResultFontHeight(int state) {
  return Valid(state) >= 4 ? 32 : 14;
}

bool DrawResultButton(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON || !GetPropW(item.hwndItem, kResultProp)) return false;
  const int state = ResultState(item.hwndItem);
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  DrawFrameControl(dc, &r, DFC_BUTTON, kFrameState);
  r = item.rcItem;
  HBRUSH frame = nullptr;
  if (state >= 4) {
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    frame = CreateSolidBrush(RGB(0, 0, 0));
    FrameRect(dc, &r, frame);
  }
  const COLORREF old_colour = SetTextColor(dc, ResultTextColour(state));
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  wchar_t text[128] = {};
  const int length = GetWindowTextW(item.hwndItem, text, 128);
  // The font's height as the slot asks, brought down until the text is clear of the frame (the
  // serif face found may run wider than the station PCs' own).
  HFONT font = nullptr;
  HGDIOBJ old_font = nullptr;
  for (int height = ResultFontHeight(state);; --height) {
    font = CreateFontW(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN,
                       L"Times New Roman");
    HGDIOBJ previous = SelectObject(dc, font);
    if (!old_font) old_font = previous;
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    if (size.cx <= r.right - r.left - 4 || height <= 8) break;
    SelectObject(dc, old_font);
    DeleteObject(font);
  }
  DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  SelectObject(dc, old_font);
  DeleteObject(font);
  SetBkMode(dc, old_mode);
  SetTextColor(dc, old_colour);
  if (frame) DeleteObject(frame);
  return true;
}

}  // namespace tarvo::win32app
