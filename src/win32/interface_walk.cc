#include "win32/interface_walk.h"

#include <algorithm>
#include <cstring>

#include "link/discovery.h"
#include "win32/registry_key.h"

namespace tarvo::win32 {
namespace {

constexpr DWORD kPathLimit = MAX_PATH;

bool IsLinked(const RegistryKey& iface) {
  auto control = iface.OpenSub("#\\Control");
  if (!control) return false;
  auto value = control->Value("Linked", 4);
  if (!value || value->size() != 4) return false;
  uint32_t linked = 0;
  std::memcpy(&linked, value->data(), 4);
  return linked == 1;
}

bool AnyLinkedSupported(const std::vector<PrinterInterface>& list) {
  return std::any_of(list.begin(), list.end(), [](const PrinterInterface& p) {
    return p.linked && MatchSupportedDevice(p.instance);
  });
}

}  // namespace

std::string InstanceOfSymbolicLink(const std::string& link) {
  std::string out = link.starts_with("\\\\?\\") ? link.substr(4) : link;
  std::replace(out.begin(), out.end(), '#', '\\');
  return out;
}

std::vector<PrinterInterface> WalkInterfaceClass(const InterfaceClasses& classes,
                                                 const std::string& class_key,
                                                 OsKind discovery_kind) {
  std::vector<PrinterInterface> out;
  auto cls = RegistryKey::Open(classes.root, classes.folder + "\\" + class_key);
  if (!cls) return out;
  for (DWORD index = 0;; ++index) {
    auto name = cls->SubkeyName(index);
    if (!name) break;
    auto iface = cls->OpenSub(*name);
    if (!iface) continue;

    PrinterInterface entry;
    const bool linked = IsLinked(*iface);
    std::optional<std::string> link;
    if (auto hash = iface->OpenSub("#")) link = hash->Text("SymbolicLink", kPathLimit);

    if (discovery_kind == 5) {
      if (!link) continue;
      entry.instance = InstanceOfSymbolicLink(*link);
    } else {
      auto instance = iface->Text("DeviceInstance", kPathLimit);
      if (!instance) continue;
      entry.instance = *instance;
    }
    entry.linked = linked && link.has_value();
    if (!linked)
      entry.reason = "not linked";
    else if (!link)
      entry.reason = "no symbolic link";
    if (link) entry.location = *link;
    if (const SupportedDevice* device = MatchSupportedDevice(entry.instance)) {
      entry.vendor_id = device->vendor_id;
      entry.product_id = device->product_id;
    }
    out.push_back(std::move(entry));
  }
  return out;
}

std::vector<PrinterInterface> ListPrinterInterfaces(const InterfaceClasses& classes,
                                                    OsKind discovery_kind) {
  const char* first = discovery_kind == 5 ? kUsbPrintClass : kSecondClass;
  std::vector<PrinterInterface> list = WalkInterfaceClass(classes, first, discovery_kind);
  if (discovery_kind == 3 && !AnyLinkedSupported(list)) {
    list = WalkInterfaceClass(classes, kUsbPrintClass, discovery_kind);
  }
  return list;
}

}  // namespace tarvo::win32
