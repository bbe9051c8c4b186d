#pragma once

#include <cstdint>

#include "base/edition.h"
#include "base/operator.h"

namespace tarvo {

// The three modeless wait windows, in the words of each edition.
// 196, shown by HandleOpen over its `retries` waits between the attempts.
WaitWindow ConnectWindow(const Edition& edition, int retries = 0);
WaitWindow PrinterBusyWindow(const Edition& edition);   // 190, chart printing and nozzle cleaning
WaitWindow InkDisChargeWindow(const Edition& edition);  // 191, the last wait of the ink discharge
// The window a window view shows for a file sent outside any wait window (no resource: id 0).
WaitWindow SendingFileWindow(const Edition& edition);

// What a wait window shows of its waits: the time left of all it stands over and how far its bar
// has run, in thousandths. `started` waits of `wait_ms` each have begun, the current one
// included, and `elapsed_ms` of the current one have passed. A window over `waits` waits counts
// all of them; one over none counts the current wait alone.
struct WaitShown {
  int64_t left_ms = 0;
  int permille = 0;
};
WaitShown ShowWait(const WaitWindow& window, int started, int64_t wait_ms, int64_t elapsed_ms);

// The seconds a countdown shows for `left_ms`: rounded up, so it reaches 0 only at the end.
int64_t SecondsLeft(int64_t left_ms);

}  // namespace tarvo
