#include "operations/head_id.h"

#include <algorithm>
#include <ctime>
#include <string>

#include "dialogs/input_id_dialog.h"
#include "model/printer_text.h"
#include "operations/closing_steps.h"
#include "operations/printer_options.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"
#include "protocol/packets.h"

namespace tarvo {
namespace {

// Two digits of `value` (taken modulo 100, so a field can never spill into the next).
void AppendTwoDigits(std::string& out, int value) {
  const int v = ((value % 100) + 100) % 100;
  out += static_cast<char>('0' + v / 10);
  out += static_cast<char>('0' + v % 10);
}

// "YYMMDDhhmmss" with YY the years since 2000.
std::string TimeStamp(const std::tm& t) {
  std::string out;
  AppendTwoDigits(out, t.tm_year + 1900 - 2000);
  AppendTwoDigits(out, t.tm_mon + 1);
  AppendTwoDigits(out, t.tm_mday);
  AppendTwoDigits(out, t.tm_hour);
  AppendTwoDigits(out, t.tm_min);
  AppendTwoDigits(out, t.tm_sec);
  return out;
}

void ApplyInkValues(std::span<uint8_t, kRomImageSize> image, const InkSettings& ink) {
  image[kUnplugAccumulationOffset] = ink.unplug_a;
  image[kTclConditionOffset] = ink.tcl_cond;
}

// Carriage home and motors locked, after a cancel as well.
Outcome HomeAndLock(const Context& ctx, PrinterLink& link) {
  Outcome passed;
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 0, 0, 0, 6)));
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 2, 180, 6, 1)));
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 0, 0, 6, 0)));
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 0, 0, 0, 3)));
  passed.PassOver(SendJobMark(ctx, link, J(1, 0)));
  if (ctx.edition.head_id_locks_twice) {
    passed.PassOver(SendJobMark(ctx, link, J(0, 0)));
    passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 0, 0, 0, 3)));
    passed.PassOver(SendJobMark(ctx, link, J(1, 0)));
  }
  return passed;
}

}  // namespace

Outcome SetHeadID(const Context& ctx, PrinterLink& link, HeadBlock& write_block,
                  HeadBlock& read_block, HeadBlock* host_block) {
  // The steps around the write are passed over when they fail: the head ID is the result.
  Outcome passed;
  passed.PassOver(ReadData(ctx, link, read_block));

  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  const auto id_begin = read_block.begin() + kHeadIdOffset;
  dialog.text = DecodePrinterText(
      std::span<const uint8_t>(id_begin, std::find(id_begin, id_begin + kHeadIdSize, uint8_t{0})));

  if (host_block) write_block = *host_block;

  // Not left unlocked by an operator that cannot answer.
  ClosingSteps closing(ctx, [&ctx, &link] { static_cast<void>(HomeAndLock(ctx, link)); });
  // Carriage aside so the head can be reached.
  passed.PassOver(SendJobMark(ctx, link, J(0, 0)));
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 0, 0, 0, 4)));
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 1, 2, 210, 6, 1)));
  passed.PassOver(SendMotorCommand(ctx, link, M(0, 0, 0, 0, 0, 5)));

  Outcome result = Outcome::Cancelled("the Input Head ID dialog");
  if (ctx.op.ShowDialog(dialog) == DialogResult::kOk) {
    const std::string stamp = TimeStamp(ctx.clock.LocalTime());
    std::copy(stamp.begin(), stamp.end(), write_block.begin() + kTimeStampOffset);
    write_block[kTimeStampOffset + stamp.size()] = '0';
    // The dialog takes letters and digits only, so every character is one byte.
    const std::vector<uint8_t> id = EncodePrinterText(dialog.text).value_or(std::vector<uint8_t>{});
    for (size_t i = 0; i < kHeadIdSize; ++i) {
      write_block[kHeadIdOffset + i] = i < id.size() ? id[i] : 0;
    }
    std::copy(read_block.begin() + kMs1AdjustOffset, read_block.begin() + kModelNumberOffset,
              write_block.begin() + kMs1AdjustOffset);

    const OffsetSettings offsets = ReadOffsetSettings(ctx.settings);
    if (offsets.disable == 0) {
      write_block[kMs1AdjustOffset] = static_cast<uint8_t>(offsets.ms1);
      write_block[kMs2AdjustOffset] = static_cast<uint8_t>(offsets.ms2);
      write_block[kVsdAdjustOffset] = static_cast<uint8_t>(offsets.vsd);
      write_block[kEcnAdjustOffset] = static_cast<uint8_t>(offsets.ecn);
      write_block[kTofAdjustOffset] = static_cast<uint8_t>(offsets.tof);
    }

    Outcome written = WriteDataVerify(ctx, link, write_block, read_block);
    // The ink system values belong to what a new head is given: the success is told only once
    // they are in the EEPROM too.
    const InkSettings ink = ReadInkSettings(ctx.settings);
    if (ink.disable_ink == 0) {
      RomImage image{};
      Outcome ink_written = ReadRomImage(ctx, link, image);
      if (ink_written.achieved()) {
        const RomImage as_read = image;
        ApplyInkValues(image, ink);
        ink_written =
            ink_written.Then(WriteRomImageVerify(ctx, link, image, ChangedBytes(as_read, image)));
      }
      written = written.Then(ink_written);
    }

    if (written.achieved()) {
      ctx.Info(ctx.Text({"Write EEPROM Success !!", "寫入初始資料成功 !!"}), "Head ID");
      result = written;
    } else {
      const std::string_view failure = ctx.Text({"Write EEPROM Error !!", "寫入初始資料失敗 !!"});
      ctx.Error(failure, "Head ID");
      result = Outcome::VerifyFailed(std::string(failure));
    }

    if (host_block) *host_block = write_block;
  }

  closing.Dismiss();
  passed.PassOver(HomeAndLock(ctx, link));
  return passed.Then(result);
}

Outcome SetInkSystemValue(const Context& ctx, PrinterLink& link) {
  RomImage image{};
  Outcome read = ReadMemory(ctx, link, image, 0);
  if (!read.achieved()) return read;
  const RomImage as_read = image;
  ApplyInkValues(image, ReadInkSettings(ctx.settings));
  return read.Then(WriteRomImageVerify(ctx, link, image, ChangedBytes(as_read, image)));
}

}  // namespace tarvo
