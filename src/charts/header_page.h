#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/edition.h"
#include "model/chart_label.h"
#include "model/rom_layout.h"

namespace tarvo {

// Everything the chart header page is made of. It is printed as plain text between a chart's two
// print files.
struct HeaderInputs {
  HeadBlock head{};        // head data block
  ChartLabel chart_label;  // chart label record (already counted)
  // Two characters (temperature); six where the edition reports the ink system values:
  // temperature, unplug accumulation, TCL condition.
  std::string status;
  int layout = 0;  // 1: multi-line, 0: compact
  std::tm time{};
  std::string program_version = "0077";  // printed after "Program:"
  // Where the header names the firmware: the printer's version (nothing if not read) and the
  // host's version text printed after it.
  std::optional<std::string> firmware;
  std::string library_version;
};

// The header page, byte for byte, as it is sent in one write.
std::vector<uint8_t> BuildHeaderPage(const Edition& edition, const HeaderInputs& in);

// The text between the brackets of the destination line, chosen from the first three characters
// of the head's model name (the destination code).
std::string DestinationLineText(std::span<const uint8_t> model_name);

// The two characters of a value: '0' + x / 10 and '0' + x % 10, with truncating division, so
// values above 99 or below 0 give characters outside '0'-'9' and are printed as they are.
std::string TwoDigits(int x);

}  // namespace tarvo
