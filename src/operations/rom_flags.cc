#include "operations/rom_flags.h"

#include <algorithm>

#include "dialogs/charge_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "operations/image_report.h"
#include "protocol/eeprom.h"

namespace tarvo {
namespace {

// The image as it sits in the EEPROM, FwVersion included (no stamping by the read).
Outcome ReadStoredImage(const Context& ctx, PrinterLink& link, RomImage& image) {
  return ReadMemory(ctx, link, image, 0);
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
// No message either way: the outcome tells.
Outcome SetFlagByText(const Context& ctx, PrinterLink& link, std::string_view name,
                      std::string label, std::optional<std::string> preset = std::nullopt) {
  const RomField& field = *FindField(name);
  RomImage image{};
  Outcome read = ReadStoredImage(ctx, link, image);
  if (!read.achieved()) return read;
  const RomImage as_read = image;
  std::string text = preset ? *preset : std::to_string(GetInt(image, field));
  std::optional<std::string> entered = AskValue(ctx, std::move(label), std::move(text));
  if (!entered) return read.Then(Outcome::Cancelled("the " + std::string(name) + " dialog"));
  SetInt(image, field, *entered == "1" ? 1 : 0);
  return read.Then(WriteRomImageVerify(ctx, link, image, ChangedBytes(as_read, image)));
}

}  // namespace

std::string VersionText(std::span<const uint8_t, kRomImageSize> image) {
  std::string text(image.begin() + kFwVersionOffset,
                   image.begin() + kFwVersionOffset + kFwVersionSize);
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

Outcome ResetAll(const Context& ctx, PrinterLink& link) {
  RomImage as_read{};
  Outcome read = ReadRomImage(ctx, link, as_read);
  if (!read.achieved()) return read;
  const int8_t flag = static_cast<int8_t>(as_read[kInitialStuffFlagOffset]);
  const std::string version = VersionText(as_read);

  RomImage image{};
  ChargeDialog charge;
  charge.value = flag;
  if (ctx.op.ShowDialog(charge) == DialogResult::kOk) {
    image[kInitialStuffFlagOffset] = static_cast<uint8_t>(charge.value);
  }
  if (std::optional<std::string> entered = AskValue(ctx, "FW Version :", version)) {
    PutVersion(image, *entered);
  }

  return read.Then(WriteImageAndTell(ctx, link, image, ChangedBytes(as_read, image),
                                     "Reset Data Success !!", "Reset Data Fail !!", "Reset"));
}

Outcome SetCharge(const Context& ctx, PrinterLink& link) {
  RomImage image{};
  Outcome read = ReadRomImage(ctx, link, image);
  if (!read.achieved()) return read;
  const RomImage as_read = image;
  ChargeDialog charge;
  charge.value = static_cast<int8_t>(image[kInitialStuffFlagOffset]);
  if (ctx.op.ShowDialog(charge) == DialogResult::kOk) {
    image[kInitialStuffFlagOffset] = static_cast<uint8_t>(charge.value);
  }
  return read.Then(WriteImageAndTell(ctx, link, image, ChangedBytes(as_read, image),
                                     "Set Charge Flag Success !!", "Set Charge Flag Fail !!",
                                     "Charge"));
}

Outcome ReadFW(const Context& ctx, PrinterLink& link, std::string& version) {
  RomImage image{};
  Outcome read = ReadRomImage(ctx, link, image);
  if (!read.achieved()) return read;
  version = VersionText(image);
  AskValue(ctx, "FW Version :", version);
  return read;
}

Outcome SetInitialStuff(const Context& ctx, PrinterLink& link) {
  const std::string label(ctx.Text({"InitStuff", "Init Stuff"}));
  const std::optional<std::string> preset =
      ctx.edition.initial_stuff_proposes_set ? std::optional<std::string>("1") : std::nullopt;
  return SetFlagByText(ctx, link, "InitialStuffFlag", label, preset);
}

Outcome SetFTFlag(const Context& ctx, PrinterLink& link) {
  return SetFlagByText(ctx, link, "FtFlag", "FT Flag");
}

Outcome ReadFatalErrorCode(const Context& ctx, PrinterLink& link, uint8_t& code) {
  RomImage image{};
  Outcome read = ReadStoredImage(ctx, link, image);
  if (!read.achieved()) return read;
  code = image[kFatalErrorCodeOffset];
  AskValue(ctx, "Error Code", std::to_string(int{code}));
  return read;
}

}  // namespace tarvo
