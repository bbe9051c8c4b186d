#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo::sim {

// One print file as the printer received it: print data transfers in a row. The bytes are not
// kept, only their count and hash.
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

// The 64-bit hash of a print file, taken as its pieces arrive. Eight independent lanes over 64-byte
// stripes, one multiply per word, keep it close to the speed of memory; the digest is the same
// however the file was cut into transfers.
class PrintHash {
 public:
  void Update(std::span<const uint8_t> bytes);
  uint64_t Digest() const;
  static uint64_t Of(std::span<const uint8_t> bytes) {
    PrintHash h;
    h.Update(bytes);
    return h.Digest();
  }

 private:
  void Stripe(const uint8_t* p);

  std::array<uint64_t, 8> lanes_ = {1, 2, 3, 4, 5, 6, 7, 8};
  std::array<uint8_t, 64> pending_{};
  size_t pending_size_ = 0;
  uint64_t total_ = 0;
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
  void Interrupt() { file_open_ = false; }

  const std::vector<Printout>& printouts() const { return printouts_; }
  void Restore(std::vector<Printout> printouts);

 private:
  Printout& Current();

  std::vector<Printout> printouts_;
  bool printout_open_ = false;  // printouts_.back() takes what is printed next
  bool file_open_ = false;      // printouts_.back().files.back() is being received
  PrintHash hash_;
};

}  // namespace tarvo::sim
