#pragma once

#include <string>
#include <string_view>

namespace tarvo::cli {

// `text` fit for one line of a list or a CSV field: control characters (C0, DEL and the C1
// range that printer text may hold) and the backslash written as escapes ("\n", "\t", "\x1b",
// "\x9b", "\\"), so a record's field never breaks a line nor moves a terminal's cursor. Bytes that
// are not UTF-8 are shown as "\xHH" too.
std::string OneLine(std::string_view text);

}  // namespace tarvo::cli
