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

void SendFramed(const Context& ctx, PrinterLink& link, const MotorArgs& m) {
  SendJobMark(ctx, link, J(0, 0));
  SendMotorCommand(ctx, link, m);
  SendJobMark(ctx, link, J(1, 0));
}

}  // namespace

bool MotorMoveTest(const Context& ctx, PrinterLink& link) {
  MotorMoveDialog dialog;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return false;
  // The packet keeps the low 24 bits of the step count.
  SendFramed(ctx, link,
             M(Byte(dialog.motor), Byte(dialog.direction), Byte(dialog.speed_mode),
               static_cast<uint32_t>(dialog.step), Byte(dialog.position), Byte(dialog.type)));
  return true;
}

bool MotorAction(const Context& ctx, PrinterLink& link) {
  MotorDialog dialog;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return false;
  SendFramed(ctx, link, M(0, 0, 0, 0, 0, Byte(dialog.choice + 3)));
  return true;
}

bool PowerOffTest(const Context& ctx, PrinterLink& link) {
  PowerOffDialog dialog;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return false;
  PowerOff(ctx, link, Byte(dialog.choice));
  return true;
}

}  // namespace tarvo
