#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::win32ui {

// The predefined window classes a dialog template names by number.
enum class ItemClass : uint16_t {
  kNamed = 0,  // by `class_name`
  kButton = 0x0080,
  kEdit = 0x0081,
  kStatic = 0x0082,
  kComboBox = 0x0085,
};

// One control of a dialog template; positions and sizes in dialog units.
struct TemplateItem {
  ItemClass item_class = ItemClass::kStatic;
  std::wstring class_name;  // for kNamed, e.g. the progress bar's class
  uint32_t style = 0;       // WS_CHILD | WS_VISIBLE are added
  int x = 0, y = 0, cx = 0, cy = 0;
  uint16_t id = 0;
  std::wstring text;
};

struct DialogSpec {
  std::wstring caption;
  uint32_t style = 0;  // DS_SETFONT is added
  int cx = 0, cy = 0;
  uint16_t font_points = 9;
  std::wstring font = L"MS Shell Dlg";
  std::vector<TemplateItem> items;
};

// The dialog as an in-memory DLGTEMPLATE with its DLGITEMTEMPLATEs, ready for
// DialogBoxIndirectParamW and CreateDialogIndirectParamW: each item starts on a DWORD boundary
// of the returned buffer (whose storage is aligned at least that far).
std::vector<uint16_t> BuildTemplate(const DialogSpec& spec);

// The module holding this code (Fennick.dll, or the program it is linked into), which the
// dialogs built from templates belong to.
HINSTANCE ThisModule();

}  // namespace tarvo::win32ui
