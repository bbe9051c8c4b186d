#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "testing/scratch_dir.h"

namespace tarvo::testing {

// A station folder of a test's own, where the print files are found (set it as the context's
// station folder).
struct StationFolder {
  void Write(const std::string& name, size_t size) const {
    std::ofstream(scratch.path() / name, std::ios::binary) << std::string(size, 'x');
  }
  const std::filesystem::path& path() const { return scratch.path(); }
  ScratchDir scratch;
};

}  // namespace tarvo::testing
