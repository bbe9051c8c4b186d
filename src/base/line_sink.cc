#include "base/line_sink.h"

#include <array>
#include <cstring>

#include "base/file_ops.h"
#include "base/hex.h"

namespace tarvo {
namespace {

constexpr size_t kFlushAt = 1 << 20;

// "00" to "ff", two characters per byte value.
constexpr std::array<char, 512> MakeHexPairs() {
  constexpr char kDigits[] = "0123456789abcdef";
  std::array<char, 512> pairs{};
  for (size_t b = 0; b < 256; ++b) {
    pairs[2 * b] = kDigits[b >> 4];
    pairs[2 * b + 1] = kDigits[b & 0x0f];
  }
  return pairs;
}
constexpr std::array<char, 512> kHexPairs = MakeHexPairs();

}  // namespace

void LineSink::HexLine(std::string_view prefix, std::span<const uint8_t> bytes) {
  Line(std::string(prefix) + ToHex(bytes));
}

FileLineSink::FileLineSink(const std::filesystem::path& path, Writes writes)
    : fd_(file_ops::OpenForAppend(path)), writes_(writes) {}

FileLineSink::~FileLineSink() {
  if (fd_ < 0) return;
  Flush();
  file_ops::Close(fd_);
}

void FileLineSink::Line(std::string_view line) {
  if (fd_ < 0) return;
  buffer_.append(line);
  Ended();
}

void FileLineSink::HexLine(std::string_view prefix, std::span<const uint8_t> bytes) {
  if (fd_ < 0) return;
  const size_t start = buffer_.size();
  buffer_.resize(start + prefix.size() + 2 * bytes.size());
  char* out = buffer_.data() + start;
  out = std::copy(prefix.begin(), prefix.end(), out);
  for (uint8_t b : bytes) {
    std::memcpy(out, &kHexPairs[2 * b], 2);  // one two-byte store per byte
    out += 2;
  }
  Ended();
}

void FileLineSink::Ended() {
  buffer_.push_back('\n');
  if (writes_ == Writes::kEveryLine || buffer_.size() >= kFlushAt) Flush();
}

void FileLineSink::Flush() {
  // A log that cannot be written does not stop the work.
  if (fd_ >= 0 && !buffer_.empty()) file_ops::WriteAll(fd_, buffer_.data(), buffer_.size());
  buffer_.clear();
}

}  // namespace tarvo
