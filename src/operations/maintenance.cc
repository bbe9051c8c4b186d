#include "operations/maintenance.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "base/wait_windows.h"
#include "dialogs/dis_message_dialog.h"
#include "model/rom_layout.h"
#include "operations/closing_steps.h"
#include "operations/maintenance_tables.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"
#include "protocol/packets.h"

namespace tarvo {
namespace {

constexpr int64_t kCleaningWaitMs = 10'000;
constexpr int64_t kDisChargeLastWaitMs = 10'000;
constexpr std::string_view kFinishingFailure = "Write EEPROM Error !!";

// Every sequence ends with the J(1,0) that closes the printer's job: sent also when the sequence
// ends early because its operator cannot answer a prompt or a failure's message.
class CloseJobOnAbort {
 public:
  CloseJobOnAbort(const Context& ctx, PrinterLink& link)
      : closing_(ctx, [this, &ctx, &link] {
          if (open) static_cast<void>(SendJobMark(ctx, link, J(1, 0)));
        }) {}
  bool open = false;

 private:
  ClosingSteps closing_;
};

// The counters the finishing clears: offsets 41-109 (ProtectionCounterA up to the ink system
// values) and 112-121, or 112-122.
void ClearCounters(std::span<uint8_t, kRomImageSize> image, bool with_122) {
  std::fill(image.begin() + kProtectionCounterAOffset, image.begin() + kUnplugAccumulationOffset,
            0);
  std::fill(image.begin() + kTclConditionOffset + 1,
            image.begin() + (with_122 ? kFtFlagOffset : kFtFlagOffset - 1), 0);
}

void PutVersion(std::span<uint8_t, kRomImageSize> image, const std::string& version) {
  for (size_t i = 0; i < kFwVersionSize; ++i) {
    image[kFwVersionOffset + i] = i < version.size() ? static_cast<uint8_t>(version[i]) : 0;
  }
}

// Stores the shipping values at the end of a discharge.
Outcome FinishEeprom(const Context& ctx, PrinterLink& link, DeviceState& state,
                     const DisChargeCopy& copy) {
  RomImage image{};
  Outcome passed = ReadRomImage(ctx, link, image);
  if (!passed.achieved()) return passed;
  const RomImage as_read = image;
  // The read has just stamped the running version into the image; it stands in when the fresh
  // query fails (which tells the operator itself).
  std::string version(image.begin() + kFwVersionOffset,
                      image.begin() + kFwVersionOffset + kFwVersionSize);
  image[kFitToPageOffset] = 1;
  image[kFtFlagOffset] = 1;
  std::string fresh;
  Outcome queried = ReadFWVersion(ctx, link, fresh);
  if (queried.achieved()) version = fresh;
  passed.PassOver(queried);

  switch (copy.finishing) {
    case Finishing::kClearCounters:
    case Finishing::kClearCountersAnd122:
      PutVersion(image, version);
      ClearCounters(image, copy.finishing == Finishing::kClearCountersAnd122);
      break;
    case Finishing::kFlagsOnCurrentImage:
      std::fill_n(image.begin() + kProtectionCounterAOffset, 4, 0);
      image[kInitialStuffFlagOffset] = 1;
      PutVersion(state.current_image, version);
      ClearCounters(state.current_image, true);
      break;
  }

  Outcome written = WriteRomImageVerify(ctx, link, image, ChangedBytes(as_read, image));
  if (!written.achieved()) {
    ctx.Error(kFinishingFailure, kPromptCaption);
    return Outcome::VerifyFailed(std::string(kFinishingFailure));
  }
  return passed.Then(written);
}

// The motor sequences and the power-off are passed over when a command fails: the result of a
// discharge is its EEPROM finishing.
Outcome DisCharge(const Context& ctx, PrinterLink& link, DeviceState& state, int finishing,
                  const DisChargeCopy& copy) {
  Outcome passed;
  CloseJobOnAbort job(ctx, link);
  passed.PassOver(RunSequence(ctx, link, sequences::kDisChargeStart, &copy, &job.open));
  passed.PassOver(RunSequence(ctx, link, sequences::kDisChargeCycle, &copy, &job.open));
  // As many more cycles as the operator asks for; anything but "Yes" goes on.
  for (;;) {
    DisMessageDialog again(ctx.edition);
    if (ctx.op.ShowDialog(again) != DialogResult::kOk) break;
    passed.PassOver(RunSequence(ctx, link, sequences::kDisChargeAgain, &copy, &job.open));
    passed.PassOver(RunSequence(ctx, link, sequences::kDisChargeCycle, &copy, &job.open));
  }
  passed.PassOver(RunSequence(ctx, link, sequences::kDisChargeEnd, &copy, &job.open));

  if (finishing != 0) {
    Outcome finished = FinishEeprom(ctx, link, state, copy);
    if (!finished.achieved()) return finished;
    passed.PassOver(finished);
  }
  if (copy.power_off) passed.PassOver(PowerOff(ctx, link, 0));
  {
    WaitWindowGuard window(ctx.op, InkDisChargeWindow(ctx.edition));
    ctx.Wait(kDisChargeLastWaitMs, wait_labels::kDischargingInk);
  }
  for (std::string_view text : copy.closing_prompts) ctx.Info(text, kPromptCaption);
  return passed;
}

}  // namespace

std::optional<uint8_t> CleaningParameter(const Edition& edition, int mode) {
  // The "CH" parameter of modes 1, 2, 3 and 4, as far as the edition has them.
  constexpr uint8_t kParameters[] = {3, 4, 5, 2};
  const int modes = std::min(edition.cleaning_modes, static_cast<int>(std::size(kParameters)));
  if (mode < 1 || mode > modes) return std::nullopt;
  return kParameters[mode - 1];
}

Outcome NozzleClean(const Context& ctx, PrinterLink& link, ChartLabel& chart_label, int mode) {
  std::optional<uint8_t> parameter = CleaningParameter(ctx.edition, mode);
  if (!parameter) return Outcome::NotDone("no cleaning mode " + std::to_string(mode));

  WaitWindowGuard busy(ctx.op, PrinterBusyWindow(ctx.edition));
  ++chart_label.nozzle_cleanings;
  Outcome sent = WriteTold(ctx, link, MakeRemotePacket("CH", *parameter),
                           ctx.Text({kWriteCommandError, "寫入 Nozzle clean 失敗 !!"}));
  if (sent) ctx.Wait(kCleaningWaitMs, wait_labels::kCleaningNozzles);
  return sent;
}

Outcome Lubrication(const Context& ctx, PrinterLink& link) {
  CloseJobOnAbort job(ctx, link);
  return RunSequence(ctx, link, sequences::kLubrication, nullptr, &job.open);
}

Outcome InkCharge(const Context& ctx, PrinterLink& link) {
  CloseJobOnAbort job(ctx, link);
  return RunSequence(ctx, link, sequences::kInkCharge, nullptr, &job.open);
}

Outcome InkDisCharge(const Context& ctx, PrinterLink& link, DeviceState& state, int finishing) {
  return DisCharge(ctx, link, state, finishing, sequences::DisChargeCopyFor(ctx.edition, true));
}

Outcome InkDisChargeNoPowerOff(const Context& ctx, PrinterLink& link, DeviceState& state,
                               int finishing) {
  return DisCharge(ctx, link, state, finishing, sequences::DisChargeCopyFor(ctx.edition, false));
}

}  // namespace tarvo
