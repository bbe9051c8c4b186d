#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo::sim {

// One print file as the printer received it: print data transfers in a row. The bytes are not
// kept, only their count and FNV-1a 64-bit hash.
struct PrintedFile {
  uint64_t size = 0;
  std::string hash;  // 16 lowercase hex digits

  bool operator==(const PrintedFile&) const = default;
};

// What came out of the printer for one print job: a chart is its first file, the header page and
// its second file.
struct Printout {
  std::vector<PrintedFile> files;
  std::vector<std::string> header_lines;  // the header page's lines, without CR LF
  // How many of `files` were printed before the header page; nothing when there was none.
  std::optional<size_t> header_position;

  // The order of things printed, e.g. "file header file".
  std::string Outline() const;
  bool operator==(const Printout&) const = default;
};

// The FNV-1a 64-bit hash of `bytes`, continuing from `hash`.
inline constexpr uint64_t kFnvBasis = 0xcbf29ce484222325ULL;
uint64_t Fnv1a(std::span<const uint8_t> bytes, uint64_t hash = kFnvBasis);
std::string HashText(uint64_t hash);

// The lines of a header page transfer: the five command bytes removed, split at CR LF; a last
// line without CR LF counts too.
std::vector<std::string> HeaderLines(std::span<const uint8_t> transfer);

// Sorts what the printer receives into printouts. A printout is begun by Begin() (the job mark
// that opens a chart) or by print data or a header page when none is open, and ends at the next
// Begin() or End(). A printout that got nothing printed is not kept; only the last kMaxPrintouts
// are.
class PrintoutRecorder {
 public:
  static constexpr size_t kMaxPrintouts = 50;

  void Begin() { End(); }
  void End();
  void PrintData(std::span<const uint8_t> transfer);
  void HeaderPage(std::span<const uint8_t> transfer);
  // Any other transfer: the file being received, if any, is complete.
  void Interrupt() { file_open_ = false; }

  const std::vector<Printout>& printouts() const { return printouts_; }
  void Restore(std::vector<Printout> printouts);

 private:
  Printout& Current();

  std::vector<Printout> printouts_;
  bool printout_open_ = false;  // printouts_.back() takes what is printed next
  bool file_open_ = false;      // printouts_.back().files.back() is being received
  uint64_t hash_ = kFnvBasis;
};

}  // namespace tarvo::sim
