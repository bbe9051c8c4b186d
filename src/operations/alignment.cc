#include "operations/alignment.h"

#include <algorithm>
#include <limits>
#include <string>

#include "charts/print_chart.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"
#include "protocol/packets.h"

namespace tarvo {
namespace {

constexpr BiDMode kBiDModes[] = {
    {"MS1", kMs1AdjustOffset, 12, 11, 2},
    {"MS2", kMs2AdjustOffset, 14, 13, 0},
    {"VSD", kVsdAdjustOffset, 16, 15, 1},
    {"ECN", kEcnAdjustOffset, 18, 17, 3},
};

constexpr std::string_view kWriteEepromError = "Write EEPROM Error !!";

// Stores one adjusted field: the EEPROM's head data block is read fresh into `read` and gets the
// new value; the block written is that one (so the rest of the EEPROM's block stays as it is) or,
// where the edition says so, the caller's working block.
Outcome Store(const Context& ctx, PrinterLink& link, HeadBlock& working, HeadBlock& read,
              uint8_t offset, uint8_t value, std::string_view failure, std::string_view caption) {
  // Writing over a block that could not be read would put stale bytes into the EEPROM.
  Outcome fresh = ReadData(ctx, link, read);
  if (!fresh.achieved()) return fresh;
  read[offset] = value;
  if (!ctx.edition.adjustments_store_working_block) working = read;
  Outcome written = WriteDataVerify(ctx, link, working, read);
  if (written.achieved()) return fresh.Then(written);
  ctx.Error(failure, caption);
  return Outcome::VerifyFailed(std::string(failure));
}

}  // namespace

const BiDMode* FindBiDMode(int mode) {
  if (mode < 0 || mode >= static_cast<int>(std::size(kBiDModes))) return nullptr;
  return &kBiDModes[mode];
}

Outcome SendTOFValue(const Context& ctx, PrinterLink& link, int8_t tof) {
  return WriteTold(ctx, link, TofPacket(tof), ctx.Text({kWriteCommandError, "寫入TOF失敗!!"}));
}

Outcome SendBiDValues(const Context& ctx, PrinterLink& link, std::array<uint8_t, 4> values) {
  return WriteTold(ctx, link, MakeBiDTransfer(values),
                   ctx.Text({kWriteCommandError, "寫入Bi-d調整失敗!!"}));
}

Outcome TOF(const Context& ctx, PrinterLink& link, const DeviceState& state, HeadBlock& working,
            HeadBlock& read, ChartLabel& chart_label) {
  TofAdjustDialog dialog;
  // A chart that did not print is passed over: the operator judges what came out.
  Outcome passed;
  passed.PassOver(PrintChart(ctx, link, state, working, chart_label, kTofChart));
  dialog.value = TofAdjustDialog::kStep * static_cast<int8_t>(working[kTofAdjustOffset]);

  for (;;) {
    if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) {
      return Outcome::Cancelled("the TOF Adjustment dialog");
    }
    // TofAdjust is a signed byte: a value past its range stays at the end rather than wrapping
    // round to the other side.
    int t =
        std::clamp(dialog.value / TofAdjustDialog::kStep, int{std::numeric_limits<int8_t>::min()},
                   int{std::numeric_limits<int8_t>::max()});
    if (t != dialog.value / TofAdjustDialog::kStep) dialog.value = t * TofAdjustDialog::kStep;
    working[kTofAdjustOffset] = static_cast<uint8_t>(t);
    if (dialog.accepted()) break;
    if (Outcome sent = SendTOFValue(ctx, link, static_cast<int8_t>(t)); !sent) return sent;
    passed.PassOver(PrintChart(ctx, link, state, working, chart_label, kTofChart));
  }

  return passed.Then(Store(ctx, link, working, read, kTofAdjustOffset, working[kTofAdjustOffset],
                           ctx.Text({kWriteEepromError, "寫入資料失敗!!"}), "TOF"));
}

Outcome BiAdjust(const Context& ctx, PrinterLink& link, const DeviceState& state,
                 HeadBlock& working, HeadBlock& read, ChartLabel& chart_label, int mode) {
  // Any other mode would print nothing and never leave the loop.
  const BiDMode* bid = FindBiDMode(mode);
  if (!bid) return Outcome::NotDone("no Bi-d mode " + std::to_string(mode));

  Outcome passed;
  ValueEntryDialog dialog;
  dialog.reprint = 1;
  for (int pass = 0; dialog.reprint == 1; ++pass) {
    std::array<uint8_t, 4> values;
    values.fill(kBiDNeutral);
    passed.PassOver(PrintChart(ctx, link, state, working, chart_label,
                               pass == 0 ? bid->first_chart : bid->later_chart));

    dialog.running_total = static_cast<int8_t>(working[bid->field_offset]);
    dialog.value = 0;
    dialog.caption_text = std::string(bid->caption);
    ctx.op.ShowDialog(dialog);

    working[bid->field_offset] = static_cast<uint8_t>(dialog.running_total);
    // The printer applies the offset of this pass to the next chart; the total is the EEPROM's.
    values[bid->packet_index] = static_cast<uint8_t>(kBiDNeutral + dialog.value);
    if (Outcome sent = SendBiDValues(ctx, link, values); !sent) return sent;
  }

  if (dialog.running_total < -kBiDTotalLimit || dialog.running_total > kBiDTotalLimit) {
    const std::string_view failure =
        ctx.Text({"Adjust Bi-d Alignment Fail !!", "調整Bi-d 位移值失敗 !!"});
    ctx.Error(failure, bid->caption);
    return Outcome::OutOfRange(std::string(failure));
  }
  return passed.Then(Store(ctx, link, working, read, bid->field_offset, working[bid->field_offset],
                           kWriteEepromError, bid->caption));
}

}  // namespace tarvo
