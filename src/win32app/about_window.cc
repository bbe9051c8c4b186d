#include "win32app/about_window.h"

#include <string>

#include "win32ui/dialog_template.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32app {
namespace {

constexpr int kIconId = 128;

std::optional<std::string> ReadText(const char* path, REGSAM access, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &key) != ERROR_SUCCESS) return {};
  char value[129] = {};
  DWORD size = 128;
  DWORD type = 0;
  const LONG read =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  // The system's code page, shown as UTF-8 like every other line.
  const std::string ansi(value, strnlen(value, size));
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), length);
  return win32ui::Utf8(wide);
}

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    const auto* box = reinterpret_cast<const station::AboutBox*>(lparam);
    const auto lines = box->Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
      SetDlgItemTextW(hwnd, kAboutLineIds[i], win32ui::Wide(lines[i]).c_str());
    }
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId));
    if (!icon) icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    SendDlgItemMessageW(hwnd, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(hwnd, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool NtPlatform() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

station::SystemFacts ReadWindowsFacts(bool nt_family) {
  station::SystemFacts facts;
  if (nt_family) {
    facts.os_name = ReadText("Software\\Microsoft\\Windows NT\\CurrentVersion\\", KEY_QUERY_VALUE,
                             "ProductName");
    facts.user_name = ReadText("Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\",
                               KEY_QUERY_VALUE, "AltDefaultUserName");
  } else {
    facts.os_name =
        ReadText("Software\\Microsoft\\Windows\\CurrentVersion\\", KEY_QUERY_VALUE, "ProductName");
    facts.user_name =
        ReadText("System\\CurrentControlSet\\Control\\", KEY_ALL_ACCESS, "Current User");
  }
  facts.computer_name = ReadText("System\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\",
                                 KEY_ALL_ACCESS, "ComputerName");
  return facts;
}

void ShowAboutBox(const station::AboutBox& box, HWND owner) {
  using win32ui::ItemClass;
  win32ui::DialogSpec spec;
  spec.caption = win32ui::Wide(station::AboutBox::kCaption);
  spec.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER;
  spec.cx = 235;
  spec.cy = 124;
  spec.font_points = 8;
  spec.font = L"MS Sans Serif";
  spec.items.push_back({ItemClass::kStatic, L"", SS_ICON, 11, 14, 20, 20, kIconId, L""});
  spec.items.push_back({ItemClass::kStatic, L"", SS_LEFT | SS_NOPREFIX, 40, 10, 130, 8, 0xFFFF,
                        win32ui::Wide(station::AboutBox::kFtVersion)});
  spec.items.push_back({ItemClass::kStatic, L"", SS_LEFT | SS_NOPREFIX, 40, 22, 130, 16, 0xFFFF,
                        win32ui::Wide(station::AboutBox::kNotice)});
  spec.items.push_back({ItemClass::kButton, L"", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 178, 7,
                        50, 14, IDOK, L"OK"});
  const wchar_t* labels[6] = {L"Printer Name :", L"Firmware Version :", L"Firmware Issue Time :",
                              L"User Name :",    L"OS Version :",       L"Computer Name :"};
  for (int i = 0; i < 6; ++i) {
    spec.items.push_back({ItemClass::kStatic, L"", SS_LEFT | SS_NOPREFIX, 40, 44 + i * 12, 188, 8,
                          static_cast<uint16_t>(kAboutLineIds[i]), labels[i]});
  }
  const std::vector<uint16_t> dialog = win32ui::BuildTemplate(spec);
  DialogBoxIndirectParamW(win32ui::ThisModule(), reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()),
                          owner, &AboutProc,
                          reinterpret_cast<LPARAM>(const_cast<station::AboutBox*>(&box)));
}

}  // namespace tarvo::win32app
