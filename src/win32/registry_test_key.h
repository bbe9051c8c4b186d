#pragma once

#include <windows.h>

#include <string>

namespace tarvo::win32::testing {

// A registry folder of one test under HKEY_LOCAL_MACHINE, removed with everything in it.
class TestKey {
 public:
  explicit TestKey(const std::string& name)
      : path_("Software\\TarvoTest\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str());
  }
  ~TestKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str()); }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tarvo::win32::testing
