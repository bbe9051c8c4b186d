#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// The printer's 128-byte EEPROM settings block ("ROM data image") and its first 41 bytes, the
// head data block. Little-endian, packed, multi-byte fields at unaligned offsets; every access
// below goes byte by byte.
inline constexpr size_t kRomImageSize = 128;
inline constexpr size_t kHeadBlockSize = 41;
using RomImage = std::array<uint8_t, kRomImageSize>;
using HeadBlock = std::array<uint8_t, kHeadBlockSize>;

enum class FieldType { kChars, kSigned, kUnsigned, kFloat, kUnnamed };

// One row of the layout. Unnamed rows (bytes whose meaning nobody knows) have an empty name and
// label and are carried so that the initial values can be applied from the table alone.
struct RomField {
  std::string_view name;  // e.g. "HeadId"; empty for an unnamed row
  uint8_t offset;
  uint8_t size;
  FieldType type;
  std::string_view label;  // text in the "EEPROM Data" dialog; empty when not shown there
  int control_id;          // its control in that dialog; 0 when not shown there
  bool kept;               // left alone when the initial values are applied
  double initial;          // the initial value otherwise (FwVersion: the running firmware's)
};

// Every field in offset order, covering all 128 bytes without gaps.
std::span<const RomField> RomFields();
// The named field, or nullptr. Names are compared exactly.
const RomField* FindField(std::string_view name);

// Offsets the operations use directly.
inline constexpr uint8_t kModelNameOffset = 0x00;    // 3 characters, the destination code
inline constexpr uint8_t kUsbSerialNoOffset = 0x03;  // 18 characters
inline constexpr uint8_t kTimeStampOffset = 0x08;    // 12 digits YYMMDDhhmmss inside UsbSerialNo
inline constexpr uint8_t kHeadIdOffset = 0x15;       // 6 characters
inline constexpr uint8_t kHeadIdSize = 6;
inline constexpr uint8_t kMs1AdjustOffset = 0x1B;
inline constexpr uint8_t kMs2AdjustOffset = 0x1C;
inline constexpr uint8_t kVsdAdjustOffset = 0x1D;
inline constexpr uint8_t kEcnAdjustOffset = 0x1E;
inline constexpr uint8_t kTofAdjustOffset = 0x1F;
inline constexpr uint8_t kLeftMarginOffset = 0x20;
inline constexpr uint8_t kModelNumberOffset = 0x21;
inline constexpr uint8_t kFwVersionOffset = 0x22;
inline constexpr uint8_t kFwVersionSize = 4;
inline constexpr uint8_t kCopyNoOffset = 0x26;
inline constexpr uint8_t kPageSizeOffset = 0x27;
inline constexpr uint8_t kFitToPageOffset = 0x28;
inline constexpr uint8_t kProtectionCounterAOffset = 0x29;
inline constexpr uint8_t kInitialStuffFlagOffset = 0x4D;
inline constexpr uint8_t kUnplugAccumulationOffset = 0x6E;
inline constexpr uint8_t kTclConditionOffset = 0x6F;
inline constexpr uint8_t kFtFlagOffset = 0x7B;
inline constexpr uint8_t kFatalErrorCodeOffset = 0x7C;
// An image write is checked against its read-back in these leading bytes only: the read stamps
// the running firmware's version into FwVersion.
inline constexpr size_t kVerifiedImageBytes = kFwVersionOffset;

// Field accessors on an image or a head data block. A field that does not lie wholly inside
// `bytes` reads as 0 (or empty) and is not written.

// Integer fields, sign- or zero-extended by type (characters and unnamed bytes read unsigned).
int64_t GetInt(std::span<const uint8_t> bytes, const RomField& field);
// Stores the low `field.size` bytes of `value`, least significant first.
void SetInt(std::span<uint8_t> bytes, const RomField& field, int64_t value);

// 32-bit IEEE single-precision fields.
float GetFloat(std::span<const uint8_t> bytes, const RomField& field);
void SetFloat(std::span<uint8_t> bytes, const RomField& field, float value);

// Character fields: all `field.size` bytes, zero bytes included. SetChars pads a shorter text
// with zero bytes and cuts a longer one.
std::string GetChars(std::span<const uint8_t> bytes, const RomField& field);
void SetChars(std::span<uint8_t> bytes, const RomField& field, std::string_view text);

// Puts the initial value into every field that is not kept; FwVersion gets `fw_version` (the
// running firmware's four characters).
void ApplyInitialValues(std::span<uint8_t> image, std::string_view fw_version);

// The head data block at the start of an image, and back.
HeadBlock HeadBlockOf(std::span<const uint8_t, kRomImageSize> image);
void PutHeadBlock(std::span<uint8_t, kRomImageSize> image, const HeadBlock& block);

}  // namespace tarvo
