#include "operations/current_directory.h"

#include <system_error>

namespace tarvo {

CurrentDirectoryGuard::CurrentDirectoryGuard() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (!ec) saved_ = std::move(cwd);
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
  if (!saved_) return;
  std::error_code ec;
  if (std::filesystem::current_path(ec) != *saved_) std::filesystem::current_path(*saved_, ec);
}

}  // namespace tarvo
