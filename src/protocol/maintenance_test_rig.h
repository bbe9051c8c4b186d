#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "dialogs/dialog_model.h"
#include "dialogs/recording_operator.h"
#include "link/printer_link.h"
#include "sim/notation.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace tarvo::testing_rig {

// The simulated printer's backend with one more fault: write transfers that `fail_write` picks
// fail (the printer never sees them).
class FaultyBackend : public LinkBackend {
 public:
  explicit FaultyBackend(LinkBackend& inner) : inner_(inner) {}
  std::vector<PrinterInterface> Enumerate() override { return inner_.Enumerate(); }
  std::optional<PipeHandle> Open(const PrinterInterface& p, PipeName pipe) override {
    return inner_.Open(p, pipe);
  }
  bool Close(PipeHandle h) override { return inner_.Close(h); }
  TransferResult Write(PipeHandle h, std::span<const uint8_t> data, uint32_t timeout_ms) override {
    if (fail_write && fail_write(data)) return {TransferStatus::kError, 0};
    return inner_.Write(h, data, timeout_ms);
  }
  TransferResult Read(PipeHandle h, std::span<uint8_t> buffer, uint32_t timeout_ms) override {
    return inner_.Read(h, buffer, timeout_ms);
  }

  std::function<bool(std::span<const uint8_t>)> fail_write;

 private:
  LinkBackend& inner_;
};

// A simulated printer on an open link, with a test operator and a virtual clock: what the
// maintenance and alignment tests drive their operations against.
struct SimRig {
  explicit SimRig(const Edition& edition, sim::SimFaults faults = {})
      : ctx{edition, clock, op, settings, wire},
        printer(clock, Spec(faults)),
        sim_backend(printer, clock),
        backend(sim_backend),
        link(ctx, backend) {
    link.HandleOpen();
    wire_lines.Clear();
  }

  // The traffic since the link was opened: commands in the M/J notation, remote packets, waits.
  std::vector<std::string> Traffic() const { return sim::DescribeTraffic(wire_lines.lines()); }

  // The messages shown, as "caption: text".
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const Message& m : op.messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  static sim::SimSpec Spec(const sim::SimFaults& faults) {
    sim::SimSpec spec;
    spec.faults = faults;
    return spec;
  }

  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  Context ctx;
  sim::SimPrinter printer;
  sim::SimBackend sim_backend;
  FaultyBackend backend;
  PrinterLink link;
};

// Faults of the simulated printer.
inline sim::SimFaults FailWritesAfter(int n) {
  sim::SimFaults f;
  f.fail_write_after = n;
  return f;
}
inline sim::SimFaults Silent() {
  sim::SimFaults f;
  f.silent = true;
  return f;
}
inline sim::SimFaults EepromDoesNotStick() {
  sim::SimFaults f;
  f.eeprom_sticks = false;
  return f;
}

using Lines = std::vector<std::string>;

inline Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Only the lines that satisfy `keep`.
template <typename Pred>
Lines Filter(const Lines& lines, Pred keep) {
  Lines out;
  for (const std::string& l : lines) {
    if (keep(l)) out.push_back(l);
  }
  return out;
}

inline size_t Count(const Lines& lines, const std::string& line) {
  size_t n = 0;
  for (const std::string& l : lines) n += l == line;
  return n;
}

}  // namespace tarvo::testing_rig
