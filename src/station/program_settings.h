#pragma once

#include "base/settings_store.h"

namespace tarvo::station {

// The two values the program keeps for itself under its own key: the index of the selected port
// radio button ("Port": 0 "USB", 1 "LPT") and of the pipe radio button ("Pipe": 0 "00", 1 "01",
// 2 "02"), as 32-bit integers. Only remembered; nothing else reads them.
struct PortPipe {
  int port = 0;
  int pipe = 0;
};

// Missing values, values of another width, and indexes no radio button has read as 0.
PortPipe ReadPortPipe(SettingsStore& store);
// Creates the key when missing; a failed write goes unnoticed, as it always has.
void WritePortPipe(SettingsStore& store, const PortPipe& values);

}  // namespace tarvo::station
