#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/operator.h"

namespace tarvo::win32ui {

// An operation's file filter as the operation states it ("Bin Files (*.bin)|*.bin|All Files
// (*.*)|*.*||") in the form the common file dialogs take: description and pattern pairs, each
// ending in a zero, the list ending in another. A filter with no pair gives "All Files (*.*)".
std::wstring FilterList(std::string_view filter);

// GetOpenFileNameW / GetSaveFileNameW with the request's filter, starting in the current
// folder, which it leaves as it was. The chosen path (UTF-8), or nothing when the operator
// cancels.
std::optional<std::string> ChooseFile(const FileRequest& request, HWND owner);

}  // namespace tarvo::win32ui
