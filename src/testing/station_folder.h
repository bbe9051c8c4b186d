#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/context.h"
#include "charts/chart_table.h"
#include "testing/scratch_dir.h"

namespace tarvo::testing {

// A station folder of a test's own: a fresh scratch folder holding a stand-in for every chart's
// print files, made the context's station folder where a context is given (a front end given
// path() as its station folder does the same). The device layer finds its files through the
// context; the process's current directory stays where it was.
class StationFolder {
 public:
  static constexpr size_t kFirstFileSize = 5000;   // each chart's first print file
  static constexpr size_t kSecondFileSize = 3000;  // and its second

  StationFolder() {
    for (const Chart& chart : kCharts) {
      Write(chart.first_file, kFirstFileSize);
      Write(chart.second_file, kSecondFileSize);
    }
  }
  explicit StationFolder(Context& ctx) : StationFolder() { ctx.station_dir = path(); }

  // A print file of `size` bytes, in place of one of that name.
  void Write(std::string_view name, size_t size) const {
    std::ofstream file(path() / name, std::ios::binary | std::ios::trunc);
    file << std::string(size, 'x');
    if (!file.flush()) throw std::runtime_error("cannot write " + File(name));
  }
  void Remove(std::string_view name) const { std::filesystem::remove(path() / name); }

  const std::filesystem::path& path() const { return scratch_.path(); }
  std::string File(std::string_view name) const { return (path() / name).string(); }

 private:
  ScratchDir scratch_;
};

}  // namespace tarvo::testing
