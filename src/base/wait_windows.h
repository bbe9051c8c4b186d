#pragma once

#include "base/edition.h"
#include "base/operator.h"

namespace tarvo {

// The three modeless wait windows, in the words of each edition.
WaitWindow ConnectWindow(const Edition& edition);       // 196, shown by HandleOpen while it retries
WaitWindow PrinterBusyWindow(const Edition& edition);   // 190, chart printing and nozzle cleaning
WaitWindow InkDisChargeWindow(const Edition& edition);  // 191, the last wait of the ink discharge
// The window a window view shows for a file sent outside any wait window (no resource: id 0).
WaitWindow SendingFileWindow(const Edition& edition);

}  // namespace tarvo
