#include "operations/motor_tests.h"

#include "dialogs/motor_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "protocol/commands.h"
#include "protocol/packets.h"

namespace tarvo {
namespace {

uint8_t Byte(int value) {
  return static_cast<uint8_t>(value);
}

// Each command goes out even after a failed one; the outcome is the first failure.
Outcome SendFramed(const Context& ctx, PrinterLink& link, const MotorArgs& m) {
  Outcome outcome;
  outcome.Note(SendJobMark(ctx, link, J(0, 0)));
  outcome.Note(SendMotorCommand(ctx, link, m));
  outcome.Note(SendJobMark(ctx, link, J(1, 0)));
  return outcome;
}

}  // namespace

Outcome MotorMoveTest(const Context& ctx, PrinterLink& link) {
  MotorMoveDialog dialog;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled("Motor Move");
  // The packet keeps the low 24 bits of the step count.
  return SendFramed(
      ctx, link,
      M(Byte(dialog.motor), Byte(dialog.direction), Byte(dialog.speed_mode),
        static_cast<uint32_t>(dialog.step), Byte(dialog.position), Byte(dialog.type)));
}

Outcome MotorAction(const Context& ctx, PrinterLink& link) {
  MotorDialog dialog;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled("Motor");
  return SendFramed(ctx, link, M(0, 0, 0, 0, 0, Byte(dialog.choice + 3)));
}

Outcome PowerOffTest(const Context& ctx, PrinterLink& link) {
  PowerOffDialog dialog;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled("PowerOff");
  return PowerOff(ctx, link, Byte(dialog.choice));
}

}  // namespace tarvo
