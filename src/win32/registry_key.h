#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::win32 {

// One open registry key, closed when it goes.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey();
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // `path` under `parent`, for reading; nothing when it cannot be opened.
  static std::optional<RegistryKey> Open(HKEY parent, const std::string& path);
  // `path` under `parent`, for reading and writing, created with the keys above it when
  // missing.
  static std::optional<RegistryKey> Create(HKEY parent, const std::string& path);

  std::optional<RegistryKey> OpenSub(const std::string& path) const { return Open(key_, path); }
  // The name of subkey number `index`, or nothing past the last.
  std::optional<std::string> SubkeyName(DWORD index) const;
  // The value's bytes, up to `limit` of them; nothing when it cannot be read.
  std::optional<std::vector<uint8_t>> Value(const std::string& name, DWORD limit) const;
  // A string value, without its terminating zero.
  std::optional<std::string> Text(const std::string& name, DWORD limit) const;
  bool SetBinary(const std::string& name, const std::vector<uint8_t>& bytes) const;

  HKEY get() const { return key_; }

 private:
  explicit RegistryKey(HKEY key) : key_(key) {}
  HKEY key_ = nullptr;
};

}  // namespace tarvo::win32
