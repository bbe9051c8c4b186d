#pragma once

#include <filesystem>
#include <optional>

namespace tarvo {

// Keeps the process's current directory across an operation that shows a file dialog: a dialog
// may leave the process in whatever folder the operator browsed to, and the chart, shipping and
// settings files are found by relative names afterwards. Restores on destruction, whatever the
// length of the path.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard();
  ~CurrentDirectoryGuard();
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  std::optional<std::filesystem::path> saved_;
};

}  // namespace tarvo
