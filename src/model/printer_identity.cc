#include "model/printer_identity.h"

#include <string>

#include "model/rom_layout.h"

namespace tarvo {
namespace {

// The field's characters without the zero bytes of an unset area and the 0xFF bytes of an
// EEPROM never written.
std::string Chars(std::span<const uint8_t> bytes, const char* name) {
  std::string text = GetChars(bytes, *FindField(name));
  std::erase_if(text, [](char c) { return c == '\0' || c == '\xff'; });
  return text;
}

int SignedByte(std::span<const uint8_t> bytes, uint8_t offset) {
  return offset < bytes.size() ? static_cast<int8_t>(bytes[offset]) : 0;
}

}  // namespace

PrinterIdentity IdentityOf(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeadIdOffset + kHeadIdSize) return {};
  return {Chars(bytes, "ModelName"), Chars(bytes, "UsbSerialNo"), Chars(bytes, "HeadId")};
}

AdjustmentValues AdjustmentsOf(std::span<const uint8_t> bytes) {
  return {SignedByte(bytes, kTofAdjustOffset), SignedByte(bytes, kMs1AdjustOffset),
          SignedByte(bytes, kMs2AdjustOffset), SignedByte(bytes, kVsdAdjustOffset),
          SignedByte(bytes, kEcnAdjustOffset)};
}

}  // namespace tarvo
