#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Where a log of single lines goes: nowhere, a file, or memory (tests).
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void Line(std::string_view line) = 0;
  // The line `prefix` followed by `bytes` in lowercase hex. A sink may build it without the
  // intermediate text.
  virtual void HexLine(std::string_view prefix, std::span<const uint8_t> bytes);
  // Puts out whatever lines are held back.
  virtual void Flush() {}
  // False when lines go nowhere, so a caller can skip building them.
  virtual bool enabled() const { return true; }
};

class NullLineSink : public LineSink {
 public:
  void Line(std::string_view) override {}
  void HexLine(std::string_view, std::span<const uint8_t>) override {}
  bool enabled() const override { return false; }
};

// Appends lines to a file. kEveryLine writes each line at once, so the log survives a crash of the
// tool; kOnFlush gathers them and writes them at Flush() (and when a megabyte has gathered, and
// when the sink goes away), which the owner calls before anything that may block or crash.
class FileLineSink : public LineSink {
 public:
  enum class Writes { kEveryLine, kOnFlush };

  // Nothing is opened when the file cannot be created; ok() tells.
  explicit FileLineSink(const std::filesystem::path& path, Writes writes = Writes::kEveryLine);
  ~FileLineSink() override;
  FileLineSink(const FileLineSink&) = delete;
  FileLineSink& operator=(const FileLineSink&) = delete;

  bool ok() const { return fd_ >= 0; }
  void Line(std::string_view line) override;
  void HexLine(std::string_view prefix, std::span<const uint8_t> bytes) override;
  void Flush() override;

 private:
  void Ended();  // a line is complete in buffer_

  int fd_ = -1;
  Writes writes_;
  std::string buffer_;
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
