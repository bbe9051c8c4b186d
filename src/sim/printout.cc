#include "sim/printout.h"

#include <algorithm>
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

namespace {

constexpr uint64_t kP1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kP2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kP3 = 0x165667B19E3779F9ULL;
constexpr uint64_t kP4 = 0x85EBCA77C2B2AE63ULL;
constexpr uint64_t kP5 = 0x27D4EB2F165667C5ULL;

uint64_t Rotl(uint64_t x, int r) {
  return x << r | x >> (64 - r);
}

uint64_t Load64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

uint64_t Round(uint64_t acc, uint64_t input) {
  return Rotl(acc + input * kP2, 31) * kP1;
}

}  // namespace

void PrintHash::Stripe(const uint8_t* p) {
  // The rotation carries the top bits of each product back to the bottom, so no bit of a word
  // stays confined to the top of its lane.
  for (size_t i = 0; i < lanes_.size(); ++i) {
    lanes_[i] = Rotl((lanes_[i] ^ Load64(p + 8 * i)) * kP1, 31);
  }
}

void PrintHash::Update(std::span<const uint8_t> bytes) {
  total_ += bytes.size();
  size_t at = 0;
  if (pending_size_ > 0) {
    size_t take = std::min(bytes.size(), pending_.size() - pending_size_);
    std::copy_n(bytes.begin(), take, pending_.begin() + pending_size_);
    pending_size_ += take;
    at = take;
    if (pending_size_ < pending_.size()) return;
    Stripe(pending_.data());
    pending_size_ = 0;
  }
  for (; at + pending_.size() <= bytes.size(); at += pending_.size()) Stripe(bytes.data() + at);
  std::copy(bytes.begin() + at, bytes.end(), pending_.begin());
  pending_size_ = bytes.size() - at;
}

uint64_t PrintHash::Digest() const {
  uint64_t h;
  h = kP5;
  if (total_ >= pending_.size()) {
    for (uint64_t lane : lanes_) h = Rotl(h ^ Round(0, lane), 27) * kP1 + kP4;
  }
  h += total_;
  size_t i = 0;
  for (; i + 8 <= pending_size_; i += 8) {
    h = Rotl(h ^ Round(0, Load64(pending_.data() + i)), 27) * kP1 + kP4;
  }
  for (; i < pending_size_; ++i) h = Rotl(h ^ pending_[i] * kP5, 11) * kP1;
  h ^= h >> 33;
  h *= kP2;
  h ^= h >> 29;
  h *= kP3;
  h ^= h >> 32;
  return h;
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
    hash_ = PrintHash();
    file_open_ = true;
  }
  PrintedFile& file = printout.files.back();
  hash_.Update(transfer);
  file.size += transfer.size();
  file.hash = HashText(hash_.Digest());
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
