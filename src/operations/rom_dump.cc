#include "operations/rom_dump.h"

#include <optional>
#include <string>

#include "dialogs/eeprom_data_dialog.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"
#include "operations/image_report.h"

namespace tarvo {
namespace {

constexpr std::string_view kDumpCaption = "Dump Data";

// Writes a changed image with verification and tells the operator how it went.
DumpOutcome WriteAndReport(const Context& ctx, PrinterLink& link, const RomImage& image,
                           const EditionText& success, const EditionText& failure) {
  return WriteImageAndTell(ctx, link, image, ctx.Text(success), ctx.Text(failure), kDumpCaption)
             ? DumpOutcome::kWritten
             : DumpOutcome::kWriteFailed;
}

}  // namespace

void ApplyInitialValuesFromPrinter(const Context& ctx, PrinterLink& link,
                                   std::span<uint8_t, kRomImageSize> image) {
  const std::string version = ReadFWVersion(ctx, link).value_or(std::string());
  ApplyInitialValues(image, version);
}

DumpOutcome DumpData(const Context& ctx, PrinterLink& link, DeviceState& state, int mode) {
  RomImage image{};
  if (!ReadRomImage(ctx, link, image)) {
    if (ctx.edition.is_library()) ctx.Error("Read ROM Data Error!!", "Error");
    return DumpOutcome::kReadFailed;
  }
  const RomImage as_read = image;
  if (mode == 1) ApplyInitialValuesFromPrinter(ctx, link, image);

  EepromDataDialog dialog(ctx.edition);
  dialog.LoadFrom(image);
  // The dialog refuses a box without a number on OK, so confirmed texts always store; should one
  // not, nothing half-stored is written.
  const bool confirmed = ctx.op.ShowDialog(dialog) == DialogResult::kOk && dialog.StoreInto(image);
  state.current_image = image;

  if (!confirmed) return DumpOutcome::kCancelled;
  if (image == as_read) return DumpOutcome::kUnchanged;
  const EditionText success{"Save ROM Data Success!!", "Save ROM Data Success!!"};
  const EditionText failure{"Save ROM Data Fail !!", "Save ROM Data Fail !!"};
  return WriteAndReport(ctx, link, image, success, failure);
}

DumpOutcome SetInitialValue(const Context& ctx, PrinterLink& link, DeviceState& state) {
  RomImage image{};
  if (!ReadRomImage(ctx, link, image)) return DumpOutcome::kReadFailed;
  const RomImage as_read = image;
  ApplyInitialValuesFromPrinter(ctx, link, image);
  state.current_image = image;
  if (image == as_read) return DumpOutcome::kUnchanged;
  const EditionText success{"Save ROM Data Success!!", "ROM資料寫入成功 !!"};
  const EditionText failure{"Save ROM Data Fail !!", "ROM資料寫入失敗 !!"};
  return WriteAndReport(ctx, link, image, success, failure);
}

bool DumpTransferROMData(const Context& ctx, PrinterLink& link, DeviceState& state,
                         std::span<uint8_t, kLibrarySummarySize> record) {
  RomImage image{};
  if (!ReadRomImage(ctx, link, image)) return false;
  // The read has just stamped the running version into the image; a second query that fails
  // falls back to it.
  const std::string version =
      ReadFWVersion(ctx, link).value_or(GetChars(image, *FindField("FwVersion")));
  FillRomSummary(record, image, version, ctx.edition);
  state.current_image = image;
  return true;
}

}  // namespace tarvo
