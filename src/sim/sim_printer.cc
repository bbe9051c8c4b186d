#include "sim/sim_printer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "base/atomic_file.h"

namespace tarvo::sim {

namespace {

// True for a regular file or no file at `path`; otherwise *what names what is there.
bool IsFileOrNothing(const std::string& path, std::string* what) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  switch (status.type()) {
    case std::filesystem::file_type::not_found:
    case std::filesystem::file_type::regular:
      return true;
    case std::filesystem::file_type::none:  // it cannot be looked at: the read says so
      return true;
    case std::filesystem::file_type::directory:
      *what = "a folder";
      return false;
    case std::filesystem::file_type::fifo:
      *what = "a named pipe";
      return false;
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
      *what = "a device";
      return false;
    default:
      *what = "not a regular file";
      return false;
  }
}

}  // namespace

SimPrinter::SimPrinter(Clock& clock, SimSpec spec) : clock_(clock), spec_(std::move(spec)) {
  if (spec_.state_file.empty()) return;
  std::string why;
  if (!CanWriteFileAtomically(spec_.state_file, &why)) {
    state_error_ = "state file " + spec_.state_file + " cannot be written (" + why + ")";
  } else if (!IsFileOrNothing(spec_.state_file, &why)) {
    // A named pipe would hold the printer up at the first read, and be replaced at the first save.
    state_error_ = "state file " + spec_.state_file + " is " + why;
  }
  RemoveStaleTemporaries(spec_.state_file);
  Load();
}

void SimPrinter::Report(const std::string& problem) {
  if (report_) {
    report_(problem);
  } else {
    std::cerr << "tarvo: " << problem << "\n";
  }
}

void SimPrinter::Log(std::string line) {
  if (log_.size() >= kLogLimit) {
    const size_t drop = kLogLimit / 2;
    log_.erase(log_.begin(), log_.begin() + static_cast<std::ptrdiff_t>(drop));
    log_dropped_ += drop;
  }
  log_.push_back(std::move(line));
}

SimPrinter::~SimPrinter() {
  if (print_unsaved_) Save();
}

void SimPrinter::Load() {
  if (spec_.state_file.empty()) return;
  std::error_code ec;
  if (!std::filesystem::exists(spec_.state_file, ec)) return;  // fresh from the parts store
  std::string what;
  if (!IsFileOrNothing(spec_.state_file, &what)) return;  // never opened: state_error() says why
  std::ifstream in(spec_.state_file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string why;
  std::optional<SimState> loaded;
  if (!in || std::filesystem::is_directory(spec_.state_file, ec)) {
    why = "cannot be read";
  } else {
    loaded = StateFromJson(text.str(), &why);
  }
  if (!loaded) {
    load_error_ = "state file " + spec_.state_file + ": " + why +
                  "; starting as a fresh printer (the file is moved to " + spec_.state_file +
                  ".corrupt when the printer's state first changes)";
    corrupt_file_in_place_ = true;
    return;
  }
  state_ = std::move(*loaded);
  recorder_.Restore(std::move(state_.printouts));
  state_.printouts.clear();
}

bool SimPrinter::Save() {
  print_unsaved_ = false;
  if (spec_.state_file.empty()) return true;
  if (corrupt_file_in_place_) {
    std::error_code ec;
    std::filesystem::rename(spec_.state_file, spec_.state_file + ".corrupt", ec);
    if (ec && std::filesystem::exists(spec_.state_file)) {
      save_failed_ = true;  // never write over a file we could not read
      ++save_failures_;
      Report("state file " + spec_.state_file +
             " is not saved: the unreadable file cannot be moved to " + spec_.state_file +
             ".corrupt (" + ec.message() + ")");
      return false;
    }
    corrupt_file_in_place_ = false;
  }
  SimState snapshot = state_;
  snapshot.printouts = recorder_.printouts();
  std::string text = StateToJson(snapshot);
  std::string why;
  save_failed_ = !WriteFileAtomically(
      spec_.state_file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      &why);
  if (save_failed_) {
    ++save_failures_;
    Report("state file " + spec_.state_file + " is not saved: " + why);
  }
  return !save_failed_;
}

void SimPrinter::set_firmware(std::string version) {
  version.resize(4, ' ');
  state_.firmware = std::move(version);
  Save();
}

void SimPrinter::set_temperature(int celsius) {
  state_.temperature = std::clamp(celsius, 0, 255);
  Save();
}

bool SimPrinter::Receive(std::span<const uint8_t> transfer) {
  ++transfers_;
  if (spec_.faults.fail_write_after >= 0 && transfers_ > spec_.faults.fail_write_after) {
    return false;
  }
  Parsed parsed = parser_.Next(transfer);
  Log(Describe(parsed, transfer));

  const SimState before = state_;
  const bool print_unsaved_before = print_unsaved_;
  // Whatever arrives wakes a printer that was switched off.
  state_.powered = true;

  if (parsed.kind != TransferKind::kPrint) recorder_.Interrupt();
  switch (parsed.kind) {
    case TransferKind::kCommand:
      Command(parsed.packet);
      break;
    case TransferKind::kBadSum:
    case TransferKind::kRemote:
      break;
    case TransferKind::kBiD:
      state_.last_bid = parsed.bid;
      break;
    case TransferKind::kData:
      if (spec_.faults.eeprom_sticks) {
        size_t n = std::min<size_t>(transfer.size(), parsed.target.length);
        for (size_t i = 0; i < n && parsed.target.offset + i < state_.eeprom.size(); ++i) {
          // Read-only cells acknowledge the write and keep what they hold.
          if (spec_.faults.eeprom_readonly[parsed.target.offset + i]) continue;
          state_.eeprom[parsed.target.offset + i] = transfer[i];
        }
      }
      break;
    case TransferKind::kHeader:
      recorder_.HeaderPage(transfer);
      print_unsaved_ = true;
      break;
    case TransferKind::kPrint:
      recorder_.PrintData(transfer);
      print_unsaved_ = !transfer.empty() || print_unsaved_;
      break;
  }

  bool changed = state_.eeprom != before.eeprom || state_.powered != before.powered ||
                 state_.last_tof != before.last_tof || state_.last_bid != before.last_bid;
  // A file being streamed is saved when it ends, not piece by piece.
  bool file_ended = print_unsaved_before && parsed.kind != TransferKind::kPrint;
  if (changed || file_ended || parsed.kind == TransferKind::kHeader) Save();
  return true;
}

void SimPrinter::Command(const std::array<uint8_t, kCommandSize>& p) {
  switch (p[1]) {
    case kFirmware:
      Reply({0x1C, kFirmware, static_cast<uint8_t>(state_.firmware[0]),
             static_cast<uint8_t>(state_.firmware[1]), static_cast<uint8_t>(state_.firmware[2]),
             static_cast<uint8_t>(state_.firmware[3]), 0, 0});
      break;
    case kTemperature:
      Reply({0x1C, kTemperature, static_cast<uint8_t>(state_.temperature), 0, 0, 0, 0, 0});
      break;
    case kJobMark:
      // J(0,1) opens a chart print; every job mark ends the print job before it.
      recorder_.End();
      break;
    case kPowerOff:
      recorder_.End();
      state_.powered = false;
      break;
    case kTof:
      state_.last_tof = static_cast<int8_t>(p[2]);
      break;
    case kMemory:
      if (p[2] == 0) {
        // The answer echoes the command; then the data, one transfer. Bytes past the EEPROM
        // read as 0xFF, like unprogrammed cells.
        Reply(std::vector<uint8_t>(p.begin(), p.end()));
        size_t length = p[4] | (p[5] << 8);
        std::vector<uint8_t> data(length, 0xFF);
        for (size_t i = 0; i < length && p[3] + i < state_.eeprom.size(); ++i) {
          data[i] = state_.eeprom[p[3] + i];
        }
        Reply(std::move(data));
      }
      break;
    default:
      break;  // motor commands and anything unknown: logged only
  }
}

void SimPrinter::Reply(std::vector<uint8_t> reply) {
  if (spec_.faults.silent) return;
  if (reply.size() == kCommandSize && reply[0] == 0x1C) reply[7] = Checksum(reply);
  replies_.push_back(std::move(reply));
}

std::vector<uint8_t> SimPrinter::StatusFrame() const {
  std::vector<uint8_t> frame(kCommandSize, 0);
  std::copy(spec_.faults.status_kind.begin(),
            spec_.faults.status_kind.begin() +
                static_cast<std::ptrdiff_t>(std::min<size_t>(spec_.faults.status_kind.size(), 2)),
            frame.begin());
  return frame;
}

std::optional<std::vector<uint8_t>> SimPrinter::NextReply() {
  if (spec_.faults.silent) return {};
  if (spec_.faults.status_stream) return StatusFrame();
  if (replies_.empty()) return {};
  if (frames_before_reply_ < spec_.faults.status_frames) {
    ++frames_before_reply_;
    return StatusFrame();
  }
  frames_before_reply_ = 0;
  std::vector<uint8_t> reply = std::move(replies_.front());
  replies_.pop_front();
  return reply;
}

void SimPrinter::LinkClosed() {
  recorder_.End();
  parser_ = WireParser();
  if (print_unsaved_) Save();
}

}  // namespace tarvo::sim
