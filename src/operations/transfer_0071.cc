#include "operations/transfer_0071.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "operations/image_report.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"

namespace tarvo {
namespace {

// Where each old field goes. Integers and characters keep their bytes; counters are narrowed.
struct Move {
  uint8_t from;
  uint8_t to;
  uint8_t size;  // in the new image
  bool counter;  // a 64-bit float in the old file
};

constexpr Move kMoves[] = {
    {0x00, 0x00, 0x22, false},  // ModelName ... ModelNumber
    {0x26, 0x26, 3, false},     // CopyNo, PageSize, FitToPage
    {0x29, 0x29, 4, true},      // ProtectionCounterA
    {0x31, 0x2D, 4, false},     // InkCounterRb0, InkCounterRy0
    {0x35, 0x31, 4, true},      // InkConsumptionCb
    {0x3D, 0x35, 4, true},      // InkConsumptionCy
    {0x45, 0x39, 4, true},      // InkConsumptionCm
    {0x4D, 0x3D, 4, true},      // InkConsumptionCc
    {0x55, 0x41, 0x26, false},  // AccumulationPrintTimer ... LocalCounter2
    {0x7B, 0x7B, 1, false},     // FtFlag
};

struct Span {
  uint8_t offset;
  uint8_t size;
};
// Bytes of the new image with no counterpart in the old file.
constexpr Span kCleared[] = {{0x67, 7}, {0x70, 10}};

double ReadDouble(std::span<const uint8_t> bytes, size_t offset) {
  uint64_t raw = 0;
  for (size_t i = 0; i < 8; ++i) raw |= uint64_t{bytes[offset + i]} << (8 * i);
  return std::bit_cast<double>(raw);
}

void WriteFloat(std::span<uint8_t> bytes, size_t offset, float value) {
  const auto raw = std::bit_cast<uint32_t>(value);
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(raw >> (8 * i));
}

}  // namespace

float NarrowCounter(double value) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  // The largest float plus half of its last step: from there on, nearest rounding gives infinity
  // (the conversion itself is undefined outside the float range).
  const double limit = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
  if (value >= limit) return kInf;
  if (value <= -limit) return -kInf;
  return static_cast<float>(value);
}

RomImage ConvertRomData0071(std::span<const uint8_t, kOldRomFileSize> old, const RomImage& current,
                            std::string_view fw_version) {
  RomImage image = current;
  for (const Move& m : kMoves) {
    if (m.counter) {
      WriteFloat(image, m.to, NarrowCounter(ReadDouble(old, m.from)));
    } else {
      std::copy_n(old.begin() + m.from, m.size, image.begin() + m.to);
    }
  }
  for (const Span& s : kCleared) std::fill_n(image.begin() + s.offset, s.size, 0);
  for (size_t i = 0; i < kFwVersionSize; ++i) {
    image[kFwVersionOffset + i] = i < fw_version.size() ? static_cast<uint8_t>(fw_version[i]) : 0;
  }
  return image;
}

Outcome Transferflag(const Context& ctx, PrinterLink& link, DeviceState& state) {
  std::string error;
  std::optional<std::vector<uint8_t>> bytes = ChooseAndReadSizedFile(ctx, kOldRomFileSize, &error);
  if (!bytes) {
    ctx.Error(error, "MEload");
    return Outcome::NotDone(std::move(error));
  }
  std::array<uint8_t, kOldRomFileSize> old{};
  std::copy(bytes->begin(), bytes->end(), old.begin());

  // A printer that does not answer the version query would not take the image either: nothing
  // is written then.
  std::string version;
  Outcome read = ReadFWVersion(ctx, link, version);
  if (!read.achieved()) {
    ctx.Error(kTransferFailure, kTransferCaption);
    return Outcome::Failed(read.kind, std::string(kTransferFailure));
  }
  state.current_image = ConvertRomData0071(old, state.current_image, version);
  // Every byte of the converted image is meant, as the file and the current image gave it.
  Outcome written = WriteRomImageVerify(ctx, link, state.current_image, EveryImageByte());
  if (!written.achieved()) {
    ctx.Error(kTransferFailure, kTransferCaption);
    return Outcome::VerifyFailed(std::string(kTransferFailure));
  }
  return read.Then(written);
}

}  // namespace tarvo
