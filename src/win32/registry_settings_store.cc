#include "win32/registry_settings_store.h"

#include "win32/registry_key.h"

namespace tarvo::win32 {

// The widest value the station keeps is a few bytes; a larger one is not one of its settings.
constexpr DWORD kValueLimit = 4096;

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::string prefix)
    : root_(root), prefix_(std::move(prefix)) {}

std::string RegistrySettingsStore::Path(std::string_view key) const {
  return prefix_ + std::string(key);
}

std::optional<std::vector<uint8_t>> RegistrySettingsStore::Read(std::string_view key,
                                                                std::string_view name) {
  auto k = RegistryKey::Open(root_, Path(key));
  if (!k) return std::nullopt;
  return k->Value(std::string(name), kValueLimit);
}

bool RegistrySettingsStore::Write(std::string_view key, std::string_view name,
                                  std::span<const uint8_t> value) {
  auto k = RegistryKey::Create(root_, Path(key));
  if (!k) return false;
  return k->SetBinary(std::string(name), std::vector<uint8_t>(value.begin(), value.end()));
}

}  // namespace tarvo::win32
