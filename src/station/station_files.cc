#include "station/station_files.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <span>
#include <system_error>
#include <vector>

#include "base/atomic_file.h"
#include "model/printer_text.h"

namespace tarvo::station {

StationFileFault StationFiles::ReadInto(std::string_view name, uint8_t* bytes, size_t size,
                                        bool create) const {
  namespace fs = std::filesystem;
  using Kind = StationFileFault::Kind;
  const fs::path path = PathOf(name);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    if (!create) return {};
    // A fresh station: the file is created holding zeros. Should that fail (a folder that cannot
    // be written), the zeros are still what is read.
    std::vector<uint8_t> zeros(size, 0);
    WriteFileAtomically(path, zeros);
    return {};
  }
  if (ec) return {Kind::kUnreadable, 0, ec.message()};
  if (fs::is_directory(status)) return {Kind::kFolder, 0, {}};
  if (!fs::is_regular_file(status)) return {Kind::kNotAFile, 0, {}};
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return {Kind::kUnreadable, 0, std::error_code(errno, std::generic_category()).message()};
  file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(size));
  const uintmax_t held = fs::file_size(path, ec);
  if (ec) return {Kind::kUnreadable, 0, ec.message()};
  if (held != size) return {Kind::kSize, held, {}};
  return {};
}

StationIdentity StationFiles::Identity(int station_no) const {
  std::array<uint8_t, 6> station1{};
  std::array<uint8_t, 3> station2{};
  // A fault leaves what was read: the names as the file holds them, or zeros for no file.
  ReadInto(kStation1File, station1.data(), station1.size(), false);
  ReadInto(kStation2File, station2.data(), station2.size(), false);
  return {station_no, CharsText(std::span(station1).subspan(1, 3)),
          CharsText(std::span(station1).subspan(4, 2)),
          CharsText(std::span(station2).subspan(1, 2))};
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
