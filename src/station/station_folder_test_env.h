#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "testing/scratch_dir.h"

namespace tarvo::testing {

// Runs a test in a station folder of its own: the process's current directory, where the print
// files are found, for the life of the object.
struct StationFolder {
  StationFolder() : old(std::filesystem::current_path()) {
    std::filesystem::current_path(scratch.path());
  }
  ~StationFolder() { std::filesystem::current_path(old); }
  void Write(const std::string& name, size_t size) const {
    std::ofstream(scratch.path() / name, std::ios::binary) << std::string(size, 'x');
  }
  std::filesystem::path old;
  ScratchDir scratch;
};

}  // namespace tarvo::testing
