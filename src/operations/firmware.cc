#include "operations/firmware.h"

#include <optional>
#include <string>

#include "charts/print_file.h"
#include "operations/current_directory.h"
#include "protocol/commands.h"

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

namespace {

// A failed send is told a second time, by the operation; the outcome keeps the send's reason.
Outcome SendImage(const Context& ctx, PrinterLink& link, const std::string& path,
                  std::string_view second_error) {
  Outcome sent = SendPrintFile(ctx, link, path);
  if (!sent) ctx.Error(second_error, kWriteCaption);
  return sent;
}

}  // namespace

Outcome UpdateFW(const Context& ctx, PrinterLink& link) {
  CurrentDirectoryGuard keep_directory;
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{false, std::string(kFirmwareFilter)});
  return SendImage(ctx, link, path.value_or(std::string()), kWriteCommandError);
}

Outcome UpdateShippingFW(const Context& ctx, PrinterLink& link, int type) {
  CurrentDirectoryGuard keep_directory;
  return SendImage(ctx, link, std::string(ShippingFileName(type)),
                   ctx.Text({kWriteCommandError, "MELoadFile Command寫入失敗!!"}));
}

}  // namespace tarvo
