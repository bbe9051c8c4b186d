#include "sim/printout.h"

#if defined(__x86_64__)
#include <xxh_x86dispatch.h>  // the library picks its AVX2 or AVX-512 code at run time
#else
#include <xxhash.h>
#endif

#include <algorithm>
#include <cstdio>
#include <new>

namespace tarvo::sim {

std::string Printout::Outline() const {
  std::string out;
  auto add = [&](const char* word) {
    if (!out.empty()) out += ' ';
    out += word;
  };
  for (size_t i = 0; i <= files.size(); ++i) {
    if (header_position == i) add("header");
    if (i < files.size()) add("file");
  }
  return out;
}

struct PrintHash::State {
  XXH3_state_t* xxh = XXH3_createState();
  State() {
    if (!xxh) throw std::bad_alloc();
    XXH3_64bits_reset(xxh);
  }
  ~State() { XXH3_freeState(xxh); }
};

PrintHash::PrintHash() : state_(std::make_unique<State>()) {}
PrintHash::~PrintHash() = default;
PrintHash::PrintHash(PrintHash&&) noexcept = default;
PrintHash& PrintHash::operator=(PrintHash&&) noexcept = default;

void PrintHash::Update(std::span<const uint8_t> bytes) {
  XXH3_64bits_update(state_->xxh, bytes.data(), bytes.size());
}

uint64_t PrintHash::Digest() const {
  return XXH3_64bits_digest(state_->xxh);
}

uint64_t PrintHash::Of(std::span<const uint8_t> bytes) {
  return XXH3_64bits(bytes.data(), bytes.size());
}

std::string HashText(uint64_t hash) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(hash));
  return buf;
}

std::vector<std::string> HeaderLines(std::span<const uint8_t> transfer) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 5; i < transfer.size(); ++i) {
    if (transfer[i] == 0x0D && i + 1 < transfer.size() && transfer[i + 1] == 0x0A) {
      lines.push_back(std::move(line));
      line.clear();
      ++i;
    } else {
      line += static_cast<char>(transfer[i]);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

void PrintoutRecorder::StampHash() const {
  if (!hash_stale_) return;
  printouts_.back().files.back().hash = HashText(hash_.Digest());
  hash_stale_ = false;
}

const std::vector<Printout>& PrintoutRecorder::printouts() const {
  StampHash();
  return printouts_;
}

void PrintoutRecorder::End() {
  StampHash();
  printout_open_ = false;
  file_open_ = false;
}

Printout& PrintoutRecorder::Current() {
  if (!printout_open_) {
    if (printouts_.size() >= kMaxPrintouts) {
      printouts_.erase(printouts_.begin(), printouts_.end() - (kMaxPrintouts - 1));
    }
    printouts_.emplace_back();
    printout_open_ = true;
  }
  return printouts_.back();
}

void PrintoutRecorder::PrintData(std::span<const uint8_t> transfer) {
  if (transfer.empty()) return;
  Printout& printout = Current();
  if (!file_open_) {
    printout.files.push_back({0, {}});
    hash_ = PrintHash();
    file_open_ = true;
  }
  hash_.Update(transfer);
  printout.files.back().size += transfer.size();
  hash_stale_ = true;
}

void PrintoutRecorder::HeaderPage(std::span<const uint8_t> transfer) {
  StampHash();
  file_open_ = false;
  // One header page per chart: a second one belongs to a job of its own.
  if (printout_open_ && printouts_.back().header_position) End();
  Printout& printout = Current();
  printout.header_lines = HeaderLines(transfer);
  printout.header_position = printout.files.size();
}

void PrintoutRecorder::Restore(std::vector<Printout> printouts) {
  if (printouts.size() > kMaxPrintouts) {
    printouts.erase(printouts.begin(), printouts.end() - kMaxPrintouts);
  }
  printouts_ = std::move(printouts);
  hash_stale_ = false;
  End();
}

}  // namespace tarvo::sim
