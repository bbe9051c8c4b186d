#pragma once

#include <iosfwd>

#include "library/runtime.h"

namespace tarvo::library {

// Writes why the printer is off line on `out` (standard error by default), one
// "fennick: <finding>" line per check, for the station's support staff: the host shows only the
// off-line message. On the export's thread, after a failed HandleOpen (no pipe is open); blocks
// while the bus is looked at and, when one is configured, the line database is tried.
void TellWhyOffline(Runtime& rt);
void TellWhyOffline(Runtime& rt, std::ostream& out);

}  // namespace tarvo::library
