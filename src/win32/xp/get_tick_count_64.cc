// Linked into every binary that a station PC receives, so that none imports GetTickCount64,
// which Windows XP's kernel32 lacks: the import slot the POSIX-threads runtime calls through is
// defined here, and its first call puts the system's own function in it, or the performance
// counter where there is none.
#include "win32/xp/get_tick_count_64.h"

#include <windows.h>

namespace tarvo::xp {
namespace {

using TickCount64 = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI FromPerformanceCounter() {
  return TickCountFromPerformanceCounter();
}

ULONGLONG WINAPI FirstCall();

}  // namespace
}  // namespace tarvo::xp

// The name under which code built for Vista reaches kernel32's GetTickCount64.
extern "C" tarvo::xp::TickCount64 tarvo_get_tick_count_64 __asm__("__imp__GetTickCount64@0");
tarvo::xp::TickCount64 tarvo_get_tick_count_64 = &tarvo::xp::FirstCall;

namespace tarvo::xp {
namespace {

ULONGLONG WINAPI FirstCall() {
  TickCount64 found = &FromPerformanceCounter;
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    // Through void (*)(): a FARPROC is cast to the function type it really has.
    if (auto proc = reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetTickCount64"))) {
      found = reinterpret_cast<TickCount64>(proc);
    }
  }
  // Threads that race here all store the same function.
  __atomic_store_n(&tarvo_get_tick_count_64, found, __ATOMIC_RELEASE);
  return found();
}

}  // namespace

uint64_t TickCountFromPerformanceCounter() {
  // Every system since Windows 2000 has a performance counter; its frequency is fixed at boot.
  LARGE_INTEGER frequency;
  LARGE_INTEGER count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  if (frequency.QuadPart <= 0) return GetTickCount();
  return Milliseconds(static_cast<uint64_t>(count.QuadPart),
                      static_cast<uint64_t>(frequency.QuadPart));
}

}  // namespace tarvo::xp
