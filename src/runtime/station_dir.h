#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::runtime {

// The station folder a front end was given (--station-dir, TARVO_STATION_DIR), made absolute:
// an empty name is the current directory. Nothing, with *error set, when it names no folder.
std::optional<std::filesystem::path> StationDir(std::string_view given, std::string* error);

}  // namespace tarvo::runtime
