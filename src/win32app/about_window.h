#pragma once

#include <windows.h>

#include "station/about_box.h"

namespace tarvo::win32app {

// Whether this system is of the NT family (GetVersionEx's platform id), as a port discovery
// records it.
bool NtPlatform();

// The About box's facts of this machine from its registry, under HKEY_LOCAL_MACHINE: the
// release name, the user and the computer name, from the NT family's keys or the Windows 9x
// family's. A key that cannot be opened (with the rights each has always been opened with) or a
// value that cannot be read as a string of at most 128 bytes leaves its fact missing.
station::SystemFacts ReadWindowsFacts(bool nt_family);

// The About box (dialog 100 "About Tarvo"), modal, owned by `owner`, until "OK" or Esc.
void ShowAboutBox(const station::AboutBox& box, HWND owner);

// The ids of the six built lines, top to bottom.
inline constexpr int kAboutLineIds[6] = {1206, 1207, 1208, 1219, 1221, 1220};

}  // namespace tarvo::win32app
