#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo::sim {

// Sizes of the transfers the printer recognises on its write pipe.
inline constexpr size_t kCommandSize = 8;     // 1C, code, five parameters, checksum
inline constexpr size_t kRemoteSize = 23;     // 1B 28 52 08 00 00 "REMOTE1" cmd 02 00 00 param ...
inline constexpr size_t kBiDSize = 32;        // four "D" command packets in one transfer
inline constexpr size_t kHeaderLimit = 4096;  // a header page is shorter than one file piece

// Command codes (byte 1 of a command packet).
inline constexpr uint8_t kMemory = 0x81;
inline constexpr uint8_t kFirmware = 0x46;     // "F"
inline constexpr uint8_t kTemperature = 0x54;  // "T"
inline constexpr uint8_t kJobMark = 0x4A;      // "J"
inline constexpr uint8_t kMotor = 0x4D;        // "M"
inline constexpr uint8_t kPowerOff = 0x70;     // "p"
inline constexpr uint8_t kTof = 0x91;
inline constexpr uint8_t kBiD = 0x44;  // "D"

// The sum of bytes 1 to 6 of a command packet, modulo 256.
uint8_t Checksum(std::span<const uint8_t> packet);

// A command packet with its checksum filled in.
std::array<uint8_t, kCommandSize> MakeCommand(uint8_t code, uint8_t p0 = 0, uint8_t p1 = 0,
                                              uint8_t p2 = 0, uint8_t p3 = 0, uint8_t p4 = 0);

enum class TransferKind {
  kCommand,  // a command packet with a good checksum
  kBadSum,   // a command packet (or "D" transfer) whose checksum is wrong: ignored
  kRemote,   // a remote packet
  kBiD,      // the 32-byte "D" transfer
  kData,     // the data that follows a memory write command
  kHeader,   // the chart header page
  kPrint,    // anything else: print data
};

// Where the data transfer after a memory write command goes.
struct MemoryWrite {
  uint8_t offset = 0;
  uint16_t length = 0;
};

// One write-pipe transfer as the printer understands it. Only the fields of its kind are set.
struct Parsed {
  TransferKind kind = TransferKind::kPrint;
  std::array<uint8_t, kCommandSize> packet{};  // kCommand
  std::string remote_command;                  // kRemote: two letters
  uint8_t remote_parameter = 0;                // kRemote
  std::array<uint8_t, 4> bid{};                // kBiD: the value byte of index 0..3
  MemoryWrite target;                          // kData: the command it belongs to
};

// Reads the transfers of one write pipe in order. It has to keep state: the transfer after a
// memory write command is that command's data, whatever it looks like.
class WireParser {
 public:
  Parsed Next(std::span<const uint8_t> transfer);
  bool data_expected() const { return pending_.has_value(); }

 private:
  std::optional<MemoryWrite> pending_;
};

// The notation of one parsed transfer (see README.md): "F", "M(0,1,6,2,6,1)", "REMOTE ST 0",
// "D(8,8,13,8)", "DATA(41)", "PRINT(4096)", ...
std::string Describe(const Parsed& parsed, std::span<const uint8_t> transfer);

// One transfer on its own, with no memory write command before it.
std::string Describe(std::span<const uint8_t> transfer);

// Turns wire-log lines into the notation: each "W <hex>" through Describe (in order, so that the
// data after a memory write reads as DATA), each "S <ms>" into "wait <ms>"; other lines (failed
// writes, reads, opens, closes) are dropped.
std::vector<std::string> DescribeTraffic(const std::vector<std::string>& wire_lines);

}  // namespace tarvo::sim
