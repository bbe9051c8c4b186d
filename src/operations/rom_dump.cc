#include "operations/rom_dump.h"

#include <optional>
#include <string>

#include "dialogs/eeprom_data_dialog.h"
#include "operations/image_report.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"

namespace tarvo {
namespace {

constexpr std::string_view kDumpCaption = "Dump Data";

// Writes a changed image with verification over what changed and tells the operator how it
// went.
Outcome WriteAndReport(const Context& ctx, PrinterLink& link, const RomImage& as_read,
                       const RomImage& image, const EditionText& success,
                       const EditionText& failure, bool* written) {
  if (written) *written = true;
  return WriteImageAndTell(ctx, link, image, ChangedBytes(as_read, image), ctx.Text(success),
                           ctx.Text(failure), kDumpCaption);
}

}  // namespace

Outcome ApplyInitialValuesFromPrinter(const Context& ctx, PrinterLink& link,
                                      std::span<uint8_t, kRomImageSize> image) {
  std::string version;
  Outcome queried = ReadFWVersion(ctx, link, version);
  if (!queried.achieved()) version.clear();
  ApplyInitialValues(image, version);
  Outcome passed;
  passed.PassOver(queried);
  return passed;
}

Outcome DumpData(const Context& ctx, PrinterLink& link, DeviceState& state, int mode,
                 bool* written) {
  if (written) *written = false;
  RomImage image{};
  Outcome passed = ReadRomImage(ctx, link, image);
  if (!passed.achieved()) {
    if (ctx.edition.dump_tells_read_failure) {
      ctx.Error("Read ROM Data Error!!", "Error");
      return Outcome::Failed(passed.kind, "Read ROM Data Error!!");
    }
    return passed;
  }
  const RomImage as_read = image;
  if (mode == 1) passed.PassOver(ApplyInitialValuesFromPrinter(ctx, link, image));

  EepromDataDialog dialog(ctx.edition);
  dialog.LoadFrom(image);
  // The dialog refuses a box without a number on OK, so confirmed texts always store; should one
  // not, nothing half-stored is written.
  const bool confirmed = ctx.op.ShowDialog(dialog) == DialogResult::kOk && dialog.StoreInto(image);
  state.current_image = image;

  if (!confirmed) return passed.Then(Outcome::Cancelled("the EEPROM Data dialog"));
  if (image == as_read) return passed;
  const EditionText success{"Save ROM Data Success!!", "Save ROM Data Success!!"};
  const EditionText failure{"Save ROM Data Fail !!", "Save ROM Data Fail !!"};
  return passed.Then(WriteAndReport(ctx, link, as_read, image, success, failure, written));
}

Outcome SetInitialValue(const Context& ctx, PrinterLink& link, DeviceState& state, bool* written) {
  if (written) *written = false;
  RomImage image{};
  Outcome passed = ReadRomImage(ctx, link, image);
  if (!passed.achieved()) return passed;
  const RomImage as_read = image;
  passed.PassOver(ApplyInitialValuesFromPrinter(ctx, link, image));
  state.current_image = image;
  if (image == as_read) return passed;
  const EditionText success{"Save ROM Data Success!!", "ROM資料寫入成功 !!"};
  const EditionText failure{"Save ROM Data Fail !!", "ROM資料寫入失敗 !!"};
  return passed.Then(WriteAndReport(ctx, link, as_read, image, success, failure, written));
}

Outcome DumpTransferROMData(const Context& ctx, PrinterLink& link, DeviceState& state,
                            std::span<uint8_t, kLibrarySummarySize> record) {
  RomImage image{};
  Outcome passed = ReadRomImage(ctx, link, image);
  if (!passed.achieved()) return passed;
  // The read has just stamped the running version into the image; a second query that fails
  // falls back to it.
  std::string version;
  Outcome queried = ReadFWVersion(ctx, link, version);
  if (!queried.achieved()) version = GetChars(image, *FindField("FwVersion"));
  passed.PassOver(queried);
  FillRomSummary(record, image, version, ctx.edition);
  state.current_image = image;
  return passed;
}

}  // namespace tarvo
