#include "station/station_files.h"

#include <fstream>
#include <span>
#include <system_error>
#include <vector>

#include "base/atomic_file.h"

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
  std::string out;
  for (uint8_t b : bytes) {
    if (b == 0) break;
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

}  // namespace tarvo::station
