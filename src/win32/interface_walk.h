#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "link/link_backend.h"
#include "win32/os_kind.h"

namespace tarvo::win32 {

// Where the device interface classes are: HKEY_LOCAL_MACHINE and the system's folder of them.
// Tests point it at keys of their own.
struct InterfaceClasses {
  HKEY root = HKEY_LOCAL_MACHINE;
  std::string folder = "System\\CurrentControlSet\\Control\\DeviceClasses";
};

// The USB printing class, and the second class the 9x systems list their printers under.
inline constexpr const char* kUsbPrintClass = "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline constexpr const char* kSecondClass = "{762bb1b4-5164-11d1-b00b-00c0d1570f9e}";

// "\\?\USB#Vid_0a3c&Pid_7251#serial#{guid}" as a device instance, "USB\Vid_0a3c&Pid_7251\serial
// \{guid}": the link without its "\\?\" and with "\" for "#", so it matches the supported devices'
// instance prefixes exactly when it matches their symbolic link prefixes.
std::string InstanceOfSymbolicLink(const std::string& link);

// The device interfaces of one class key, in the registry's enumeration order. An interface
// counts as linked when its "#\Control" value "Linked" is 1 and its "#" value "SymbolicLink" can
// be read; `location` is that link. Systems of kind 5 name each interface by its symbolic link
// (as an instance); the others by its "DeviceInstance" value, and an interface without one is
// left out.
std::vector<PrinterInterface> WalkInterfaceClass(const InterfaceClasses& classes,
                                                 const std::string& class_key,
                                                 OsKind discovery_kind);

// The interfaces discovery looks at on a system of `discovery_kind` (see DiscoveryKind): the USB
// printing class for kind 5, the second class otherwise; on Windows 98 the USB printing class as
// well when the second class holds no supported linked interface.
std::vector<PrinterInterface> ListPrinterInterfaces(const InterfaceClasses& classes,
                                                    OsKind discovery_kind);

}  // namespace tarvo::win32
