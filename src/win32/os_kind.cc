#include "win32/os_kind.h"

#include <windows.h>

namespace tarvo::win32 {

OsKind OsKindOf(uint32_t platform_id, uint32_t major, uint32_t minor) {
  if (platform_id == VER_PLATFORM_WIN32_WINDOWS) {
    if (minor < 10) return 1;
    if (minor == 90) return 4;
    return 3;
  }
  if (platform_id == VER_PLATFORM_WIN32_NT) {
    if (major == 4) return 2;
    if (major == 5) return 5;
  }
  return 0;
}

OsKind DetectOsKind() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
  return OsKindOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

OsKind DiscoveryKind(OsKind kind) {
  return kind == 0 ? OsKind{5} : kind;
}

}  // namespace tarvo::win32
