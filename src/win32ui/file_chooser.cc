#include "win32ui/file_chooser.h"

#include <commdlg.h>

#include <vector>

#include "win32ui/wide_text.h"

namespace tarvo::win32ui {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::wstring FilterList(std::string_view filter) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    const size_t bar = filter.find('|', start);
    const size_t end = bar == std::string_view::npos ? filter.size() : bar;
    parts.push_back(filter.substr(start, end - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::wstring list;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string_view description = Trim(parts[i]);
    std::string_view patterns = Trim(parts[i + 1]);
    if (description.empty() && patterns.empty()) break;  // the closing "||"
    if (patterns.empty()) patterns = "*.*";
    if (description.empty()) description = patterns;
    list += Wide(description) + L'\0' + Wide(patterns) + L'\0';
  }
  if (list.empty()) list = std::wstring(L"All Files (*.*)") + L'\0' + L"*.*" + L'\0';
  return list + L'\0';
}

std::optional<std::string> ChooseFile(const FileRequest& request, HWND owner) {
  const std::wstring filters = FilterList(request.filter);
  std::vector<wchar_t> path(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (request.save) {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
  } else {
    ofn.Flags |= OFN_FILEMUSTEXIST;
  }
  const BOOL chosen = request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return Utf8(path.data());
}

}  // namespace tarvo::win32ui
