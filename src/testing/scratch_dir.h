#pragma once

#include <stdlib.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tarvo::testing {

// A fresh folder of its own under `parent` (the system's temporary folder by default), removed
// with everything in it. It never takes a folder that was there before: when none can be made,
// the constructor throws and there is nothing to remove. Free of any test framework, so the
// benchmarks use it too.
class ScratchDir {
 public:
  ScratchDir() : ScratchDir(std::filesystem::temp_directory_path()) {}
  explicit ScratchDir(const std::filesystem::path& parent) : path_(MakeFolder(parent)) {}
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  static std::filesystem::path MakeFolder(const std::filesystem::path& parent) {
#ifdef _WIN32
    // No mkdtemp: a random name, taken only if the folder could be created anew.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      auto candidate =
          parent / ("tarvo-" + std::to_string(random()) + "-" + std::to_string(attempt));
      std::error_code ec;
      if (std::filesystem::create_directory(candidate, ec)) return candidate;
    }
#else
    std::string pattern = (parent / "tarvo-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) return pattern;
#endif
    throw std::runtime_error("no scratch folder can be made in " + parent.string());
  }

  std::filesystem::path path_;
};

}  // namespace tarvo::testing
