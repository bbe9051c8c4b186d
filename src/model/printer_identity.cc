#include "model/printer_identity.h"

#include <algorithm>
#include <string>

#include "base/hex.h"
#include "model/printer_text.h"
#include "model/rom_layout.h"

namespace tarvo {
namespace {

// The field as printer text up to its first zero byte, without the 0xFF bytes of an erased tail
// (a field never written, or written shorter than it is); a 0xFF byte within is a character.
std::string Chars(std::span<const uint8_t> bytes, const char* name) {
  std::string raw = GetChars(bytes, *FindField(name));
  raw.resize(std::min(raw.size(), raw.find('\0')));
  while (!raw.empty() && raw.back() == '\xff') raw.pop_back();
  return DecodePrinterText(raw);
}

std::string Hex(std::span<const uint8_t> bytes, const char* name) {
  const std::string raw = GetChars(bytes, *FindField(name));
  return ToHex(std::span(reinterpret_cast<const uint8_t*>(raw.data()), raw.size()));
}

int SignedByte(std::span<const uint8_t> bytes, uint8_t offset) {
  return offset < bytes.size() ? static_cast<int8_t>(bytes[offset]) : 0;
}

}  // namespace

PrinterIdentity IdentityOf(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeadIdOffset + kHeadIdSize) return {};
  return {Chars(bytes, "ModelName"), Chars(bytes, "UsbSerialNo"), Chars(bytes, "HeadId"),
          Hex(bytes, "ModelName"),   Hex(bytes, "UsbSerialNo"),   Hex(bytes, "HeadId")};
}

AdjustmentValues AdjustmentsOf(std::span<const uint8_t> bytes) {
  return {SignedByte(bytes, kTofAdjustOffset), SignedByte(bytes, kMs1AdjustOffset),
          SignedByte(bytes, kMs2AdjustOffset), SignedByte(bytes, kVsdAdjustOffset),
          SignedByte(bytes, kEcnAdjustOffset)};
}

}  // namespace tarvo
