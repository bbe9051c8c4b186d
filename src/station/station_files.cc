#include "station/station_files.h"

#include <algorithm>
#include <fstream>
#include <span>
#include <system_error>
#include <vector>

#include "base/atomic_file.h"
#include "model/printer_text.h"

namespace tarvo::station {

void StationFiles::ReadInto(std::string_view name, uint8_t* bytes, size_t size) const {
  const std::filesystem::path path = PathOf(name);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    // A fresh station: the file is created holding zeros. Should that fail (a folder that cannot
    // be written), the zeros are still what is read.
    std::vector<uint8_t> zeros(size, 0);
    WriteFileAtomically(path, zeros);
    return;
  }
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(size));
}

bool StationFiles::Write(std::string_view name, std::span<const uint8_t> bytes) const {
  return WriteFileAtomically(PathOf(name), bytes);
}

DestinationChoice DestinationOf(std::string_view file, uint8_t index) {
  if (const Destination* row = FindDestination(index)) return {row, {}};
  return {nullptr, std::string(file) + " holds destination index " + std::to_string(index) +
                       "; 0 ... " + std::to_string(kDestinationCount - 1) + " are valid"};
}

std::string CharsText(std::span<const uint8_t> bytes) {
  return DecodePrinterText(bytes.first(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin()));
}

}  // namespace tarvo::station
