#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/clock.h"
#include "sim/notation.h"
#include "sim/printout.h"
#include "sim/sim_spec.h"
#include "sim/sim_state.h"

namespace tarvo::sim {

// A printer in software: it takes the transfers of the write pipe as the real printer does,
// answers on the read pipe, keeps its EEPROM, firmware version, temperature and power state in a
// state file, records what it prints, and shows the faults it is told to.
//
// State file: loaded at construction when it exists and saved (atomically) after every change of
// state. Print data is saved when its file ends (any other transfer, the link closing, or the
// printer going away), not after every piece. A state file that cannot be read or has bad values
// is reported by load_failed()/load_error(); the printer then starts fresh and leaves the bad file
// alone until its state first changes, when the bad file is moved aside to "<file>.corrupt" and
// the new state written in its place. A state file that cannot be written at all (its folder is
// missing or takes no files) or that is no regular file (a named pipe) makes the printer unusable:
// state_error() says why, and a front end refuses to start with it. A save that fails later is told
// to the problem sink at once and counted (save_failures()).
class SimPrinter {
 public:
  // log() keeps at most this many lines; when it is full the older half is dropped.
  static constexpr size_t kLogLimit = 8192;

  using ProblemSink = std::function<void(const std::string&)>;

  SimPrinter(Clock& clock, SimSpec spec);
  ~SimPrinter();
  SimPrinter(const SimPrinter&) = delete;
  SimPrinter& operator=(const SimPrinter&) = delete;

  bool load_failed() const { return !load_error_.empty(); }
  std::string load_error() const { return load_error_; }
  // Set when the state file cannot be written; the printer's state would never be saved.
  const std::string& state_error() const { return state_error_; }
  // Where problems with the state file go (default: standard error).
  void set_problem_sink(ProblemSink sink) { report_ = std::move(sink); }

  // The printer side of the link. One transfer on the write pipe; false = the transfer fails
  // (and the printer never saw it).
  bool Receive(std::span<const uint8_t> transfer);
  // One transfer on the read pipe; nothing = no reply (the read times out).
  std::optional<std::vector<uint8_t>> NextReply();
  // The write pipe was closed: the print job ends, and a memory write still waiting for its data
  // is dropped.
  void LinkClosed();

  // State, for tests and the CLI. Changes through eeprom() are saved by the next save; call
  // Save() to write them at once.
  std::array<uint8_t, 128>& eeprom() { return state_.eeprom; }
  std::string firmware() const { return state_.firmware; }
  void set_firmware(std::string version);  // cut or padded with blanks to 4 characters
  int temperature() const { return state_.temperature; }
  void set_temperature(int celsius);  // kept within 0-255
  bool powered() const { return state_.powered; }
  int8_t last_tof() const { return state_.last_tof; }
  std::array<uint8_t, 4> last_bid() const { return state_.last_bid; }
  // One line per transfer received, the latest kLogLimit or fewer (see kLogLimit).
  const std::vector<std::string>& log() const { return log_; }
  void ClearLog() { log_.clear(); }
  uint64_t log_dropped() const { return log_dropped_; }  // lines dropped from the front
  const std::vector<Printout>& printouts() const { return recorder_.printouts(); }
  SimFaults& faults() { return spec_.faults; }
  const SimSpec& spec() const { return spec_; }
  size_t pending_replies() const { return replies_.size(); }

  // Writes the state file now. True when there is none or it was written.
  bool Save();
  bool save_failed() const { return save_failed_; }
  uint64_t save_failures() const { return save_failures_; }

 private:
  void Load();
  void Command(const std::array<uint8_t, kCommandSize>& packet);
  void Reply(std::vector<uint8_t> reply);
  std::vector<uint8_t> StatusFrame() const;
  void Log(std::string line);
  void Report(const std::string& problem);

  Clock& clock_;
  SimSpec spec_;
  SimState state_;
  PrintoutRecorder recorder_;
  WireParser parser_;
  std::deque<std::vector<uint8_t>> replies_;
  int frames_before_reply_ = 0;  // status frames already sent ahead of replies_.front()
  long long transfers_ = 0;      // write-pipe transfers offered, failed ones included
  std::vector<std::string> log_;
  uint64_t log_dropped_ = 0;
  std::string load_error_;
  std::string state_error_;
  ProblemSink report_;
  uint64_t save_failures_ = 0;
  bool corrupt_file_in_place_ = false;
  bool print_unsaved_ = false;
  bool save_failed_ = false;
};

}  // namespace tarvo::sim
