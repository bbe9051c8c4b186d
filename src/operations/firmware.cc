#include "operations/firmware.h"

#include <optional>
#include <string>

#include "charts/print_file.h"
#include "protocol/commands.h"
#include "operations/current_directory.h"

namespace tarvo {

std::string_view ShippingFileName(int type) {
  switch (type) {
    case 0:
      return "ShippingResetROM_1C71.bin";
    case 1:
      return "Shipping_1C71.bin";
    case 2:
      return "SPCtest.bin";
    default:
      return {};
  }
}

bool UpdateFW(const Context& ctx, PrinterLink& link) {
  CurrentDirectoryGuard keep_directory;
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{false, std::string(kFirmwareFilter)});
  const bool ok = SendPrintFile(ctx, link, path.value_or(std::string()));
  if (!ok) ctx.Error(kWriteCommandError, kWriteCaption);
  return ok;
}

bool UpdateShippingFW(const Context& ctx, PrinterLink& link, int type) {
  CurrentDirectoryGuard keep_directory;
  const bool ok = SendPrintFile(ctx, link, std::string(ShippingFileName(type)));
  if (!ok) ctx.Error(ctx.Text({kWriteCommandError, "MELoadFile Command寫入失敗!!"}), kWriteCaption);
  return ok;
}

}  // namespace tarvo
