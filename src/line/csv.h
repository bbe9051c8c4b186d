#pragma once

#include <string>

#include "line/dashboard.h"

namespace tarvo::line {

// A table (an array of flat objects) as CSV: a header of the first row's keys, then one line per
// row. Every field is quoted; a nested value is written as its JSON. A field a spreadsheet would
// take for a formula (= + - @ at its start, from a printer's EEPROM) gets a leading apostrophe.
std::string Csv(const Json& table);

}  // namespace tarvo::line
