#include "operations/rom_flags.h"

#include <algorithm>

#include "dialogs/charge_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "protocol/eeprom.h"
#include "operations/image_report.h"

namespace tarvo {
namespace {

// The image as it sits in the EEPROM, FwVersion included (no stamping by the read).
std::optional<RomImage> ReadStoredImage(const Context& ctx, PrinterLink& link) {
  RomImage image{};
  if (!ReadMemory(ctx, link, image, 0)) return std::nullopt;
  return image;
}

std::optional<RomImage> ReadImage(const Context& ctx, PrinterLink& link) {
  RomImage image{};
  if (!ReadRomImage(ctx, link, image)) return std::nullopt;
  return image;
}

void PutVersion(RomImage& image, std::string_view text) {
  for (size_t i = 0; i < kFwVersionSize; ++i) {
    image[kFwVersionOffset + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
  }
}

// Shows the FW Version dialog under `label` with `text`; the text entered, or nothing on cancel.
std::optional<std::string> AskValue(const Context& ctx, std::string label, std::string text) {
  FwVersionDialog dialog;
  dialog.label = std::move(label);
  dialog.text = std::move(text);
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return std::nullopt;
  return dialog.text;
}

// A one-byte flag that the operator sets with exactly "1" and clears with anything else. The
// dialog starts with `preset`, or with the flag's stored value.
bool SetFlagByText(const Context& ctx, PrinterLink& link, std::string_view name, std::string label,
                   std::optional<std::string> preset = std::nullopt) {
  const RomField& field = *FindField(name);
  std::optional<RomImage> image = ReadStoredImage(ctx, link);
  if (!image) return false;
  std::string text = preset ? *preset : std::to_string(GetInt(*image, field));
  std::optional<std::string> entered = AskValue(ctx, std::move(label), std::move(text));
  if (!entered) return false;
  SetInt(*image, field, *entered == "1" ? 1 : 0);
  return WriteRomImageVerify(ctx, link, *image);
}

}  // namespace

std::string VersionText(std::span<const uint8_t, kRomImageSize> image) {
  std::string text(image.begin() + kFwVersionOffset,
                   image.begin() + kFwVersionOffset + kFwVersionSize);
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

bool ResetAll(const Context& ctx, PrinterLink& link) {
  std::optional<RomImage> read = ReadImage(ctx, link);
  if (!read) return false;
  const int8_t flag = static_cast<int8_t>((*read)[kInitialStuffFlagOffset]);
  const std::string version = VersionText(*read);

  RomImage image{};
  ChargeDialog charge;
  charge.value = flag;
  if (ctx.op.ShowDialog(charge) == DialogResult::kOk) {
    image[kInitialStuffFlagOffset] = static_cast<uint8_t>(charge.value);
  }
  if (std::optional<std::string> entered = AskValue(ctx, "FW Version :", version)) {
    PutVersion(image, *entered);
  }

  return WriteImageAndTell(ctx, link, image, "Reset Data Success !!", "Reset Data Fail !!",
                           "Reset");
}

bool SetCharge(const Context& ctx, PrinterLink& link) {
  std::optional<RomImage> image = ReadImage(ctx, link);
  if (!image) return false;
  ChargeDialog charge;
  charge.value = static_cast<int8_t>((*image)[kInitialStuffFlagOffset]);
  if (ctx.op.ShowDialog(charge) == DialogResult::kOk) {
    (*image)[kInitialStuffFlagOffset] = static_cast<uint8_t>(charge.value);
  }
  return WriteImageAndTell(ctx, link, *image, "Set Charge Flag Success !!",
                           "Set Charge Flag Fail !!", "Charge");
}

std::optional<std::string> ReadFW(const Context& ctx, PrinterLink& link) {
  std::optional<RomImage> image = ReadImage(ctx, link);
  if (!image) return std::nullopt;
  std::string version = VersionText(*image);
  AskValue(ctx, "FW Version :", version);
  return version;
}

bool SetInitialStuff(const Context& ctx, PrinterLink& link) {
  // The program proposes setting the flag; the library shows it as stored.
  if (ctx.edition.is_program())
    return SetFlagByText(ctx, link, "InitialStuffFlag", "InitStuff", "1");
  return SetFlagByText(ctx, link, "InitialStuffFlag", "Init Stuff");
}

bool SetFTFlag(const Context& ctx, PrinterLink& link) {
  return SetFlagByText(ctx, link, "FtFlag", "FT Flag");
}

std::optional<uint8_t> ReadFatalErrorCode(const Context& ctx, PrinterLink& link) {
  std::optional<RomImage> image = ReadStoredImage(ctx, link);
  if (!image) return std::nullopt;
  const uint8_t code = (*image)[kFatalErrorCodeOffset];
  AskValue(ctx, "Error Code", std::to_string(int{code}));
  return code;
}

}  // namespace tarvo
