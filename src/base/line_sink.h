#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Where a log of single lines goes: nowhere, a file, or memory (tests).
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void Line(std::string_view line) = 0;
  // False when lines go nowhere, so a caller can skip building them.
  virtual bool enabled() const { return true; }
};

class NullLineSink : public LineSink {
 public:
  void Line(std::string_view) override {}
  bool enabled() const override { return false; }
};

// Appends each line to a file and flushes it, so the log survives a crash of the tool.
class FileLineSink : public LineSink {
 public:
  // Nothing is opened when the file cannot be created; ok() tells.
  explicit FileLineSink(const std::filesystem::path& path);
  ~FileLineSink() override;
  bool ok() const { return file_ != nullptr; }
  void Line(std::string_view line) override;

 private:
  std::FILE* file_ = nullptr;
};

class MemoryLineSink : public LineSink {
 public:
  void Line(std::string_view line) override { lines_.emplace_back(line); }
  const std::vector<std::string>& lines() const { return lines_; }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace tarvo
