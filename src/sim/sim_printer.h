#pragma once

#include <array>
#include <cstdint>
#include <deque>
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
// the new state written in its place.
class SimPrinter {
 public:
  SimPrinter(Clock& clock, SimSpec spec);
  ~SimPrinter();
  SimPrinter(const SimPrinter&) = delete;
  SimPrinter& operator=(const SimPrinter&) = delete;

  bool load_failed() const { return !load_error_.empty(); }
  std::string load_error() const { return load_error_; }

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
  const std::vector<std::string>& log() const { return log_; }  // everything received
  void ClearLog() { log_.clear(); }
  const std::vector<Printout>& printouts() const { return recorder_.printouts(); }
  SimFaults& faults() { return spec_.faults; }
  const SimSpec& spec() const { return spec_; }
  size_t pending_replies() const { return replies_.size(); }

  // Writes the state file now. True when there is none or it was written.
  bool Save();
  bool save_failed() const { return save_failed_; }

 private:
  void Load();
  void Command(const std::array<uint8_t, kCommandSize>& packet);
  void Reply(std::vector<uint8_t> reply);
  std::vector<uint8_t> StatusFrame() const;

  Clock& clock_;
  SimSpec spec_;
  SimState state_;
  PrintoutRecorder recorder_;
  WireParser parser_;
  std::deque<std::vector<uint8_t>> replies_;
  int frames_before_reply_ = 0;  // status frames already sent ahead of replies_.front()
  long long transfers_ = 0;      // write-pipe transfers offered, failed ones included
  std::vector<std::string> log_;
  std::string load_error_;
  bool corrupt_file_in_place_ = false;
  bool print_unsaved_ = false;
  bool save_failed_ = false;
};

}  // namespace tarvo::sim
