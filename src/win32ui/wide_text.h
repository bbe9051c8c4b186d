#pragma once

#include <string>
#include <string_view>

namespace tarvo::win32ui {

// The dialogs' texts are UTF-8 (the library's are Traditional Chinese); the window functions
// take UTF-16. Bytes that are not UTF-8 become U+FFFD rather than vanishing.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace tarvo::win32ui
