#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/record_sink.h"
#include "model/destinations.h"

namespace tarvo::station {

// What is wrong with a settings file that is there: a folder or another thing that is no regular
// file, a file of another size, or one that cannot be read.
struct StationFileFault {
  enum class Kind { kNone, kFolder, kNotAFile, kSize, kUnreadable };
  Kind kind = Kind::kNone;
  uintmax_t size = 0;  // kSize: the bytes it holds
  std::string error;   // kUnreadable: the system's words
  explicit operator bool() const { return kind != Kind::kNone; }
};

// The settings files "1.data", "2.data" and "3.data" in the station folder (an empty folder name:
// the current directory). Each file is
// raw bytes without header or checksum. A reader that finds its file missing creates it filled
// with zeros; a file shorter than its size reads as if padded with zeros, a longer one by its
// first bytes, and anything but a regular file as zeros (nothing is read from a pipe or a device);
// the reads that are given a StationFileFault learn which of these it was, so that the settings
// are not put into a printer. Every save rewrites the whole file atomically, so a crash mid-save
// leaves the old file or the new one, never a short one.
class StationFiles {
 public:
  static constexpr std::string_view kStation1File = "1.data";  // 6 bytes
  static constexpr std::string_view kStation2File = "2.data";  // 3 bytes
  static constexpr std::string_view kStationFile = "3.data";   // 1 byte

  explicit StationFiles(std::filesystem::path dir = {}) : dir_(std::move(dir)) {}

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path PathOf(std::string_view name) const { return dir_ / name; }

  // Station 1: byte 0 destination index, 1-3 Belt Name, 4-5 PC Name.
  std::array<uint8_t, 6> ReadStation1(StationFileFault* fault = nullptr) const {
    return Read<6>(kStation1File, fault);
  }
  bool WriteStation1(const std::array<uint8_t, 6>& bytes) const {
    return Write(kStation1File, bytes);
  }
  // Station 2: byte 0 destination index, 1-2 Jig No. or "CT".
  std::array<uint8_t, 3> ReadStation2(StationFileFault* fault = nullptr) const {
    return Read<3>(kStation2File, fault);
  }
  bool WriteStation2(const std::array<uint8_t, 3>& bytes) const {
    return Write(kStation2File, bytes);
  }
  // The station chosen last: 0 Station 1, 1 Station 2 (any other value selects neither).
  uint8_t ReadStationIndex(StationFileFault* fault = nullptr) const {
    return Read<1>(kStationFile, fault)[0];
  }
  bool WriteStationIndex(uint8_t index) const {
    return Write(kStationFile, std::array<uint8_t, 1>{index});
  }

  // Station `station_no`'s identity for its records: the Belt Name and PC Name of "1.data" and
  // the Jig No. or "CT" of "2.data", as the files stand. Nothing is created: a missing file or
  // anything but a regular file gives empty names.
  StationIdentity Identity(int station_no) const;

 private:
  template <size_t N>
  std::array<uint8_t, N> Read(std::string_view name, StationFileFault* fault) const {
    std::array<uint8_t, N> bytes{};
    StationFileFault found = ReadInto(name, bytes.data(), N);
    if (fault) *fault = std::move(found);
    return bytes;
  }
  StationFileFault ReadInto(std::string_view name, uint8_t* bytes, size_t size,
                            bool create = true) const;
  bool Write(std::string_view name, std::span<const uint8_t> bytes) const;

  std::filesystem::path dir_;
};

// The destination row of an index read from a settings file, or the message that tells why it
// cannot be used ("1.data holds destination index 20; 0 ... 13 are valid").
struct DestinationChoice {
  const Destination* row = nullptr;
  std::string problem;
};
DestinationChoice DestinationOf(std::string_view file, uint8_t index);

// Characters of a settings file or head data block as text: up to the first zero byte, bytes
// above 0x7F as the Latin-1 characters they are.
std::string CharsText(std::span<const uint8_t> bytes);

}  // namespace tarvo::station
