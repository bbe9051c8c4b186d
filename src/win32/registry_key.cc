#include "win32/registry_key.h"

namespace tarvo::win32 {

RegistryKey::~RegistryKey() {
  if (key_) RegCloseKey(key_);
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) {
  other.key_ = nullptr;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    if (key_) RegCloseKey(key_);
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

std::optional<RegistryKey> RegistryKey::Open(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  return RegistryKey(key);
}

std::optional<RegistryKey> RegistryKey::Create(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegistryKey(key);
}

std::optional<std::string> RegistryKey::SubkeyName(DWORD index) const {
  char name[MAX_PATH + 1] = {};
  if (RegEnumKeyA(key_, index, name, MAX_PATH) != ERROR_SUCCESS) return std::nullopt;
  return std::string(name);
}

std::optional<std::vector<uint8_t>> RegistryKey::Value(const std::string& name, DWORD limit) const {
  std::vector<uint8_t> bytes(limit);
  DWORD size = limit;
  if (RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, bytes.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

std::optional<std::string> RegistryKey::Text(const std::string& name, DWORD limit) const {
  auto bytes = Value(name, limit);
  if (!bytes) return std::nullopt;
  std::string text(bytes->begin(), bytes->end());
  // A stored string may or may not carry its terminating zero; what follows one is not text.
  if (size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

bool RegistryKey::SetBinary(const std::string& name, const std::vector<uint8_t>& bytes) const {
  return RegSetValueExA(key_, name.c_str(), 0, REG_BINARY, bytes.data(),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

}  // namespace tarvo::win32
