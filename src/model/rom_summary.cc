#include "model/rom_summary.h"

#include <algorithm>

namespace tarvo {
namespace {

void CopyImageBytes(std::span<uint8_t, kLibrarySummarySize> record, size_t to,
                    std::span<const uint8_t, kRomImageSize> image, size_t from, size_t count) {
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(from), count,
              record.begin() + static_cast<std::ptrdiff_t>(to));
}

// A signed byte of the image, sign-extended into a 32-bit field of the record.
void PutSignedByte(std::span<uint8_t, kLibrarySummarySize> record, size_t to,
                   std::span<const uint8_t, kRomImageSize> image, size_t from) {
  SetSummaryInt(record, to, static_cast<int8_t>(image[from]));
}

}  // namespace

std::string_view ModelNameOf(int64_t model_number) {
  switch (model_number) {
    case 0:
      return "TR-460";
    case 1:
      return "TR-420";
    case 2:
      return "TR-380";
    default:
      return {};
  }
}

int32_t SummaryInt(std::span<const uint8_t, kLibrarySummarySize> record, size_t offset) {
  uint32_t raw = 0;
  for (size_t i = 0; i < 4; ++i) raw |= uint32_t{record[offset + i]} << (8 * i);
  return static_cast<int32_t>(raw);
}

void SetSummaryInt(std::span<uint8_t, kLibrarySummarySize> record, size_t offset, int32_t value) {
  const auto raw = static_cast<uint32_t>(value);
  for (size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<uint8_t>(raw >> (8 * i));
}

void FillRomSummary(std::span<uint8_t, kLibrarySummarySize> record,
                    std::span<const uint8_t, kRomImageSize> image, std::string_view fw_version,
                    const Edition& edition) {
  CopyImageBytes(record, summary::kModelName, image, kModelNameOffset, 3);
  CopyImageBytes(record, summary::kHeadId, image, kHeadIdOffset, kHeadIdSize);
  CopyImageBytes(record, summary::kUsbSerialNo, image, kUsbSerialNoOffset, 18);

  const std::string_view model = ModelNameOf(static_cast<int8_t>(image[kModelNumberOffset]));
  if (!model.empty()) std::copy(model.begin(), model.end(), record.begin() + summary::kModel);

  for (size_t i = 0; i < kFwVersionSize; ++i) {
    record[summary::kFwVersion + i] =
        i < fw_version.size() ? static_cast<uint8_t>(fw_version[i]) : 0;
  }
  PutSignedByte(record, summary::kTof, image, kTofAdjustOffset);
  PutSignedByte(record, summary::kLeftMargin, image, kLeftMarginOffset);
  PutSignedByte(record, summary::kMs1, image, kMs1AdjustOffset);
  PutSignedByte(record, summary::kMs2, image, kMs2AdjustOffset);
  PutSignedByte(record, summary::kVsd, image, kVsdAdjustOffset);
  PutSignedByte(record, summary::kEcn, image, kEcnAdjustOffset);
  record[summary::kInitialStuffFlag] = image[kInitialStuffFlagOffset];
  record[summary::kFtFlag] = image[kFtFlagOffset];
  if (edition.reports_ink_system) {
    record[summary::kUnplugAccumulation] = image[kUnplugAccumulationOffset];
    record[summary::kTclCondition] = image[kTclConditionOffset];
  }
}

}  // namespace tarvo
