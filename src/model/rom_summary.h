#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/edition.h"
#include "model/rom_layout.h"

namespace tarvo {

// The ROM summary record: the printer's identity, adjustment values and flags condensed for the
// viewer page and the library's host. The library fills all 77 bytes, the program the first 75.
//
//   0 ModelName (3)   3 HeadId (6)   9 UsbSerialNo (18)   27 model name by ModelNumber (6)
//   33 not written (4)   37 firmware version (4)   41 TOF   45 Left Margin   49 MS1   53 MS2
//   57 VSD   61 ECN (each 32-bit, sign-extended)   65 ink charge count, 69 nozzle cleaning count
//   (32-bit, not written here)   73 InitialStuffFlag   74 FtFlag   75 UnplugAccumulation
//   76 TclCondition (library only)
inline constexpr size_t kProgramSummarySize = 75;
inline constexpr size_t kLibrarySummarySize = 77;
using RomSummary = std::array<uint8_t, kLibrarySummarySize>;

namespace summary {
inline constexpr size_t kModelName = 0;
inline constexpr size_t kHeadId = 3;
inline constexpr size_t kUsbSerialNo = 9;
inline constexpr size_t kModel = 27;
inline constexpr size_t kModelSize = 6;
inline constexpr size_t kFwVersion = 37;
inline constexpr size_t kTof = 41;
inline constexpr size_t kLeftMargin = 45;
inline constexpr size_t kMs1 = 49;
inline constexpr size_t kMs2 = 53;
inline constexpr size_t kVsd = 57;
inline constexpr size_t kEcn = 61;
inline constexpr size_t kInkChargeCount = 65;
inline constexpr size_t kNozzleCleaningCount = 69;
inline constexpr size_t kInitialStuffFlag = 73;
inline constexpr size_t kFtFlag = 74;
inline constexpr size_t kUnplugAccumulation = 75;
inline constexpr size_t kTclCondition = 76;
}  // namespace summary

// The model name a ModelNumber stands for: 0 "TR-460", 1 "TR-420", 2 "TR-380"; empty for any
// other number.
std::string_view ModelNameOf(int64_t model_number);

// Fills `record` from `image` and the firmware version (four characters). Bytes the record does
// not carry (33-36, 65-72, and in the program 75-76) are left as they are, and so is the model
// name for a ModelNumber without one.
void FillRomSummary(std::span<uint8_t, kLibrarySummarySize> record,
                    std::span<const uint8_t, kRomImageSize> image, std::string_view fw_version,
                    const Edition& edition);

// A 32-bit little-endian value of the record.
int32_t SummaryInt(std::span<const uint8_t, kLibrarySummarySize> record, size_t offset);
void SetSummaryInt(std::span<uint8_t, kLibrarySummarySize> record, size_t offset, int32_t value);

}  // namespace tarvo
