#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "link/link_backend.h"
#include "link/printer_link.h"
#include "operators/recording_operator.h"
#include "sim/notation.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace tarvo::testing {

// Hands everything on to the backend it wraps, except the write transfers `fail_write` picks:
// those fail and the printer never sees them.
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
  void StopTransfers() override { inner_.StopTransfers(); }
  void ResumeTransfers() override { inner_.ResumeTransfers(); }

  std::function<bool(std::span<const uint8_t>)> fail_write;

 private:
  LinkBackend& inner_;
};

// A device layer of one edition wired to a simulated printer, all in memory and on a virtual
// clock: what most device tests start from. `Op` is the test operator (a RecordingOperator or
// one derived from it).
template <typename Op = RecordingOperator>
struct BasicDeviceRig {
  explicit BasicDeviceRig(const Edition& edition = kProgramEdition, sim::SimSpec spec = {})
      : printer(clock, std::move(spec)),
        sim_backend(printer, clock),
        backend(sim_backend),
        ctx{edition, clock, op, settings, wire},
        link(ctx, backend) {}
  BasicDeviceRig(const Edition& edition, sim::SimFaults faults)
      : BasicDeviceRig(edition, WithFaults(std::move(faults))) {}

  // Opens the link; a test that expects the printer gone does not call it.
  bool Open() { return link.HandleOpen(); }

  // The traffic since the start (or the last Forget()) in the notation of the simulated printer,
  // waits included: "J(0,0)", "M(0,1,6,2,6,1)", "wait 10000", ...
  std::vector<std::string> Traffic() const { return sim::DescribeTraffic(wire_lines.lines()); }
  void Forget() {
    wire_lines.Clear();
    op = Op();
    clock.ClearSleeps();
  }

  // The messages shown, as "caption: text".
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const Message& m : op.messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  static sim::SimSpec WithFaults(sim::SimFaults faults) {
    sim::SimSpec spec;
    spec.faults = std::move(faults);
    return spec;
  }

  VirtualClock clock;
  Op op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  sim::SimPrinter printer;
  sim::SimBackend sim_backend;
  FaultyBackend backend;  // passes everything through until a test sets `fail_write`
  Context ctx;
  PrinterLink link;
};

using DeviceRig = BasicDeviceRig<>;

}  // namespace tarvo::testing
