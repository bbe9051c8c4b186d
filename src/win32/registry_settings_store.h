#pragma once

#include <windows.h>

#include "base/settings_store.h"

namespace tarvo::win32 {

// The machine-wide settings as the station has always kept them on Windows: each value a
// REG_BINARY of its own width under its key of HKEY_LOCAL_MACHINE, the key created when missing.
class RegistrySettingsStore : public SettingsStore {
 public:
  // Tests give a root of their own.
  explicit RegistrySettingsStore(HKEY root = HKEY_LOCAL_MACHINE, std::string prefix = "");

  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override;
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override;

 private:
  std::string Path(std::string_view key) const;
  HKEY root_;
  std::string prefix_;  // put before every key, for tests
};

}  // namespace tarvo::win32
