#include "runtime/station_dir.h"

#include <system_error>

namespace tarvo::runtime {

std::optional<std::filesystem::path> StationDir(std::string_view given, std::string* error) {
  std::error_code ec;
  std::filesystem::path dir =
      given.empty() ? std::filesystem::current_path(ec) : std::filesystem::absolute(given, ec);
  if (!ec && std::filesystem::is_directory(dir, ec)) return dir.lexically_normal();
  *error = "station folder " + (given.empty() ? std::string(".") : std::string(given)) +
           " is not a folder";
  return std::nullopt;
}

}  // namespace tarvo::runtime
