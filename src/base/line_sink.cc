#include "base/line_sink.h"

namespace tarvo {

FileLineSink::FileLineSink(const std::filesystem::path& path)
    : file_(std::fopen(path.c_str(), "a")) {}

FileLineSink::~FileLineSink() {
  if (file_) std::fclose(file_);
}

void FileLineSink::Line(std::string_view line) {
  if (!file_) return;
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace tarvo
