#include "sim/printout.h"

#include <cstdio>

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

uint64_t Fnv1a(std::span<const uint8_t> bytes, uint64_t hash) {
  for (uint8_t b : bytes) {
    hash ^= b;
    hash *= 0x100000001b3ULL;
  }
  return hash;
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

void PrintoutRecorder::End() {
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
    hash_ = kFnvBasis;
    file_open_ = true;
  }
  PrintedFile& file = printout.files.back();
  hash_ = Fnv1a(transfer, hash_);
  file.size += transfer.size();
  file.hash = HashText(hash_);
}

void PrintoutRecorder::HeaderPage(std::span<const uint8_t> transfer) {
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
  End();
}

}  // namespace tarvo::sim
