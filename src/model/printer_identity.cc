#include "model/printer_identity.h"

#include <string>

#include "model/rom_layout.h"

namespace tarvo {
namespace {

std::string CharsUpToZero(std::span<const uint8_t> bytes, const char* name) {
  std::string text = GetChars(bytes, *FindField(name));
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

int SignedByte(std::span<const uint8_t> bytes, uint8_t offset) {
  return offset < bytes.size() ? static_cast<int8_t>(bytes[offset]) : 0;
}

}  // namespace

PrinterIdentity IdentityOf(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeadIdOffset + kHeadIdSize) return {};
  return {CharsUpToZero(bytes, "ModelName"), CharsUpToZero(bytes, "UsbSerialNo"),
          CharsUpToZero(bytes, "HeadId")};
}

AdjustmentValues AdjustmentsOf(std::span<const uint8_t> bytes) {
  return {SignedByte(bytes, kTofAdjustOffset), SignedByte(bytes, kMs1AdjustOffset),
          SignedByte(bytes, kMs2AdjustOffset), SignedByte(bytes, kVsdAdjustOffset),
          SignedByte(bytes, kEcnAdjustOffset)};
}

}  // namespace tarvo
