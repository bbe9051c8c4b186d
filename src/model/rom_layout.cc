#include "model/rom_layout.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tarvo {
namespace {

using enum FieldType;

constexpr bool kKept = true;
constexpr bool kSet = false;

constexpr RomField kFields[] = {
    {"ModelName", 0x00, 3, kChars, "Model Name (CT)", 1182, kKept, 0},
    {"UsbSerialNo", 0x03, 18, kChars, "USB S/No.", 1183, kKept, 0},
    {"HeadId", 0x15, 6, kChars, "Print Head ID", 1184, kKept, 0},
    {"Ms1Adjust", 0x1B, 1, kSigned, "MS1", 1185, kSet, -10},
    {"Ms2Adjust", 0x1C, 1, kSigned, "MS2", 1186, kSet, -10},
    {"VsdAdjust", 0x1D, 1, kSigned, "VSD", 1187, kSet, -11},
    {"EcnAdjust", 0x1E, 1, kSigned, "ECN", 1188, kSet, -4},
    {"TofAdjust", 0x1F, 1, kSigned, "TOF", 1189, kSet, 0},
    {"LeftMargin", 0x20, 1, kSigned, "Left Margin", 1190, kSet, 0},
    {"ModelNumber", 0x21, 1, kSigned, "Model Number", 1191, kKept, 0},
    {"FwVersion", 0x22, 4, kChars, "FW/Version", 1192, kSet, 0},
    {"CopyNo", 0x26, 1, kSigned, "COPY No. (UI 1)", 1193, kSet, 0},
    {"PageSize", 0x27, 1, kSigned, "Page Size (UI 2)", 1194, kSet, 1},
    {"FitToPage", 0x28, 1, kSigned, "Fit To Page (UI 3)", 1195, kSet, 1},
    {"ProtectionCounterA", 0x29, 4, kFloat, "Protection Counter A", 1196, kSet, 0},
    {"InkCounterRb0", 0x2D, 2, kUnsigned, "Ink Counter Rb0", 1197, kSet, 0},
    {"InkCounterRy0", 0x2F, 2, kUnsigned, "Ink Counter Ry0", 1198, kSet, 0},
    {"InkConsumptionCb", 0x31, 4, kFloat, "Ink Consumption Counter Cb", 1199, kSet, 0},
    {"InkConsumptionCy", 0x35, 4, kFloat, "Ink Consumption Counter Cy", 1200, kSet, 0},
    {"InkConsumptionCm", 0x39, 4, kFloat, "Ink Consumption Counter Cm", 1201, kSet, 0},
    {"InkConsumptionCc", 0x3D, 4, kFloat, "Ink Consumption Counter Cc", 1202, kSet, 0},
    {"AccumulationPrintTimer", 0x41, 4, kSigned, "Accumulation Print Timer", 1203, kSet, 0},
    {"CleaningFlag", 0x45, 1, kSigned, "Cleaning Flag", 1206, kSet, 0},
    {"BkExchangeFlag2", 0x46, 1, kSigned, "Bk Exchange Flag 2", 1207, kSet, 0},
    {"YmcExchangeFlag2", 0x47, 1, kSigned, "YMC Exchange Flag 2", 1208, kSet, 0},
    {"NonUsed1", 0x48, 1, kSigned, "Non Used1", 1209, kSet, 0},
    {"ClTimer", 0x49, 4, kSigned, "CL Timer", 1210, kSet, 0},
    {"InitialStuffFlag", 0x4D, 1, kSigned, "Initial Stuff Flag", 1211, kSet, 1},
    {"Bk1stIcFlag", 0x4E, 1, kSigned, "Bk 1st I/C Flag", 1212, kSet, 0},
    {"Ymc1stIcFlag", 0x4F, 1, kSigned, "YMC 1st I/C Flag", 1213, kSet, 0},
    {"NonUsed2", 0x50, 1, kSigned, "Non Used2", 1214, kSet, 0},
    {"Tcl", 0x51, 2, kUnsigned, "TCL", 1215, kSet, 0},
    {"Cl2CounterKk", 0x53, 1, kSigned, "CL2 Counter KK", 1216, kSet, 0},
    {"BkInkKind", 0x54, 1, kSigned, "Bk CSIC Kinds of Ink 1", 1217, kSet, 0},
    {"YmcInkKind", 0x55, 1, kSigned, "YMC CSIE Kinds of Ink 1", 1218, kSet, 0},
    {"BkExchangeFlag1", 0x56, 1, kSigned, "Bk Exchange Flag 1", 1219, kSet, 0},
    {"YmcExchangeFlag1", 0x57, 1, kSigned, "YMC Exchange Flag 1", 1220, kSet, 0},
    {"NonUsed3", 0x58, 1, kSigned, "NonUsed3", 1221, kSet, 0},
    {"LastClTime", 0x59, 4, kSigned, "Last CL Time", 1222, kSet, 0},
    {"PowerOffTime", 0x5D, 4, kSigned, "Power Off Time", 1223, kSet, 0},
    {"UncertainPowerOffFlag", 0x61, 1, kSigned, "Uncertain Power Off Flag", 1224, kSet, 0},
    {"NonUsed4", 0x62, 1, kSigned, "NonUsed4", 1225, kSet, 0},
    {"LocalCounter1", 0x63, 2, kUnsigned, "Local Counter 1", 1226, kSet, 0},
    {"LocalCounter2", 0x65, 2, kUnsigned, "Local Counter 2", 1227, kSet, 0},
    {"", 0x67, 2, kUnnamed, "", 0, kSet, 0},
    {"", 0x69, 4, kUnnamed, "", 0, kSet, 0},
    {"", 0x6D, 1, kUnnamed, "", 0, kSet, 0},
    {"UnplugAccumulation", 0x6E, 1, kUnsigned, "Unplug Acmlt", 1306, kKept, 0},
    {"TclCondition", 0x6F, 1, kUnsigned, "TCL Condition", 1307, kKept, 0},
    {"", 0x70, 4, kUnnamed, "", 0, kSet, 0},
    {"", 0x74, 4, kUnnamed, "", 0, kSet, 0},
    {"", 0x78, 2, kUnnamed, "", 0, kSet, 0},
    {"", 0x7A, 1, kUnnamed, "", 0, kKept, 0},
    {"FtFlag", 0x7B, 1, kUnsigned, "FT Flag", 1279, kSet, 1},
    // Shown by the fatal error query, not by the "EEPROM Data" dialog.
    {"FatalErrorCode", 0x7C, 1, kUnsigned, "", 0, kKept, 0},
    {"", 0x7D, 3, kUnnamed, "", 0, kKept, 0},
};

constexpr bool TableCoversImage() {
  size_t next = 0;
  for (const RomField& f : kFields) {
    if (f.offset != next || f.size == 0) return false;
    next += f.size;
  }
  return next == kRomImageSize;
}
static_assert(TableCoversImage(), "ROM fields must tile the 128-byte image");

bool Fits(size_t span_size, const RomField& field) {
  return static_cast<size_t>(field.offset) + field.size <= span_size;
}

uint64_t GetRaw(std::span<const uint8_t> bytes, const RomField& field) {
  uint64_t raw = 0;
  const size_t n = std::min<size_t>(field.size, 8);
  for (size_t i = 0; i < n; ++i) raw |= uint64_t{bytes[field.offset + i]} << (8 * i);
  return raw;
}

void SetRaw(std::span<uint8_t> bytes, const RomField& field, uint64_t raw) {
  const size_t n = std::min<size_t>(field.size, 8);
  for (size_t i = 0; i < n; ++i) bytes[field.offset + i] = static_cast<uint8_t>(raw >> (8 * i));
}

}  // namespace

std::span<const RomField> RomFields() {
  return kFields;
}

const RomField* FindField(std::string_view name) {
  if (name.empty()) return nullptr;
  for (const RomField& f : kFields) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

int64_t GetInt(std::span<const uint8_t> bytes, const RomField& field) {
  if (!Fits(bytes.size(), field)) return 0;
  uint64_t raw = GetRaw(bytes, field);
  if (field.type == FieldType::kSigned && field.size < 8) {
    const uint64_t sign = uint64_t{1} << (8 * field.size - 1);
    if (raw & sign) raw |= ~((sign << 1) - 1);
  }
  return static_cast<int64_t>(raw);
}

void SetInt(std::span<uint8_t> bytes, const RomField& field, int64_t value) {
  if (!Fits(bytes.size(), field)) return;
  SetRaw(bytes, field, static_cast<uint64_t>(value));
}

float GetFloat(std::span<const uint8_t> bytes, const RomField& field) {
  if (!Fits(bytes.size(), field) || field.size != 4) return 0.0f;
  return std::bit_cast<float>(static_cast<uint32_t>(GetRaw(bytes, field)));
}

void SetFloat(std::span<uint8_t> bytes, const RomField& field, float value) {
  if (!Fits(bytes.size(), field) || field.size != 4) return;
  SetRaw(bytes, field, std::bit_cast<uint32_t>(value));
}

std::string GetChars(std::span<const uint8_t> bytes, const RomField& field) {
  if (!Fits(bytes.size(), field)) return {};
  return std::string(bytes.begin() + field.offset, bytes.begin() + field.offset + field.size);
}

void SetChars(std::span<uint8_t> bytes, const RomField& field, std::string_view text) {
  if (!Fits(bytes.size(), field)) return;
  for (size_t i = 0; i < field.size; ++i) {
    bytes[field.offset + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
  }
}

void ApplyInitialValues(std::span<uint8_t> image, std::string_view fw_version) {
  for (const RomField& f : kFields) {
    if (f.kept) continue;
    if (f.offset == kFwVersionOffset) {
      SetChars(image, f, fw_version);
    } else if (f.type == FieldType::kFloat) {
      SetFloat(image, f, static_cast<float>(f.initial));
    } else {
      SetInt(image, f, static_cast<int64_t>(std::llround(f.initial)));
    }
  }
}

HeadBlock HeadBlockOf(std::span<const uint8_t, kRomImageSize> image) {
  HeadBlock block;
  std::copy_n(image.begin(), kHeadBlockSize, block.begin());
  return block;
}

void PutHeadBlock(std::span<uint8_t, kRomImageSize> image, const HeadBlock& block) {
  std::copy(block.begin(), block.end(), image.begin());
}

}  // namespace tarvo
