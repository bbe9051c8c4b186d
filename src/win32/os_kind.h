#pragma once

#include <cstdint>

namespace tarvo::win32 {

// The system kind the station has always told apart:
//   1 Windows 95, 3 Windows 98, 4 Windows Me, 2 NT 4, 5 Windows 2000/XP, 0 anything else,
//   later NT versions included.
using OsKind = uint16_t;

// The kind for the platform id and version numbers GetVersionEx reports.
OsKind OsKindOf(uint32_t platform_id, uint32_t major, uint32_t minor);

// The kind of this system.
OsKind DetectOsKind();

// How printers are discovered on a system of `kind`. Every NT after XP reports kind 0, which on
// its own would send discovery down the 9x path (the second class, "DeviceInstance" values), and
// there no printer attached to a current Windows is found: those systems are discovered as
// Windows 2000/XP are. The other kinds discover as themselves.
OsKind DiscoveryKind(OsKind kind);

}  // namespace tarvo::win32
