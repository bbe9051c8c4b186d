#pragma once

#include <windows.h>

#include <string>

namespace tarvo::win32app {

// CResultButton: an owner-drawn push button showing a text in one of eight states, 0-3 in
// black, red, green or blue on the button face (14 px Times New Roman), 4-7 the same colours
// large (32 px) on white, framed. The state is kept with the window; the parent draws it from
// WM_DRAWITEM through DrawResultButton and ignores its clicks.
HWND CreateResultButton(HWND parent, int id, const std::wstring& text, const RECT& at, int state);
// States outside 0-7 show as 0. Repaints only on a change.
void SetResultState(HWND button, int state);
int ResultState(HWND button);

COLORREF ResultTextColour(int state);
int ResultFontHeight(int state);

// Paints the button of `item` in its state. False for an item that is no result button.
bool DrawResultButton(const DRAWITEMSTRUCT& item);

}  // namespace tarvo::win32app
