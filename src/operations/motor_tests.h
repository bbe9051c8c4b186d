#pragma once

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"

namespace tarvo {

// Hand-driven mechanics for engineers. Each shows its dialog and, on OK, sends what was chosen;
// anything but OK sends nothing (kCancelled). A failed write is told by the command and the
// sequence goes on; the outcome is the first failure.

// "Motor Move": J(0,0), M(motor, direction, speed, steps, position, type), J(1,0). The step
// count goes out in 24 bits.
Outcome MotorMoveTest(const Context& ctx, PrinterLink& link);

// "Motor": J(0,0), M(0,0,0,0,0, choice + 3), J(1,0): Lock 3, Unlock 4, Hold 5, Release 6.
Outcome MotorAction(const Context& ctx, PrinterLink& link);

// "PowerOff": switches the printer off with or without storing its shipment data.
Outcome PowerOffTest(const Context& ctx, PrinterLink& link);

}  // namespace tarvo
