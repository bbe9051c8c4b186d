#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo::sim {

// Which function made a print file's hash: 1, the simulator's own eight-lane hash of earlier
// state files; 2, XXH3-64 (the one used now).
inline constexpr int kPrintHashVersion = 2;

// One print file as the printer received it: print data transfers in a row. The bytes are not
// kept, only their count and hash.
struct PrintedFile {
  uint64_t size = 0;
  std::string hash;  // 16 lowercase hex digits
  int hash_version = kPrintHashVersion;

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

// The 64-bit hash of a print file (XXH3-64), taken as its pieces arrive; the digest is the same
// however the file was cut into transfers.
class PrintHash {
 public:
  PrintHash();
  ~PrintHash();
  PrintHash(PrintHash&&) noexcept;
  PrintHash& operator=(PrintHash&&) noexcept;

  void Update(std::span<const uint8_t> bytes);
  uint64_t Digest() const;
  static uint64_t Of(std::span<const uint8_t> bytes);

 private:
  struct State;
  std::unique_ptr<State> state_;
};
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
  void Interrupt() {
    StampHash();
    file_open_ = false;
  }

  const std::vector<Printout>& printouts() const;
  void Restore(std::vector<Printout> printouts);

 private:
  Printout& Current();
  // Puts the digest so far into the file being received, if it is not there yet.
  void StampHash() const;

  // The file being received gets its hash text when the printouts are looked at or it ends, not
  // after every piece.
  mutable std::vector<Printout> printouts_;
  bool printout_open_ = false;  // printouts_.back() takes what is printed next
  bool file_open_ = false;      // printouts_.back().files.back() is being received
  mutable bool hash_stale_ = false;
  PrintHash hash_;
};

}  // namespace tarvo::sim
