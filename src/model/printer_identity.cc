#include "model/printer_identity.h"

#include <algorithm>
#include <string>

#include "base/hex.h"
#include "model/printer_text.h"
#include "model/rom_layout.h"

namespace tarvo {
namespace {

// The field as the views show it: printer text up to the first zero byte. A field of nothing but
// 0xFF bytes was never written and names nothing.
std::string Chars(std::span<const uint8_t> bytes, const char* name) {
  std::string raw = GetChars(bytes, *FindField(name));
  raw.resize(std::min(raw.size(), raw.find('\0')));
  if (std::all_of(raw.begin(), raw.end(), [](char c) { return c == '\xff'; })) return {};
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
