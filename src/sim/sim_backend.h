#pragma once

#include <atomic>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "link/link_backend.h"
#include "sim/sim_printer.h"

namespace tarvo::sim {

// The simulated printer as a link backend: one printer interface, location "sim", whose write
// pipe feeds SimPrinter::Receive and whose read pipe takes SimPrinter::NextReply. A read with no
// reply waits out its timeout on the clock and times out. While the printer is absent (or has not
// appeared yet) it is not listed, its pipes do not open, and transfers on pipes already open fail.
// StopTransfers() ends such a wait at once (the clock is given the same stop request, which wakes
// it) and fails every transfer as kStopped until ResumeTransfers(); the printer sees none of them.
class SimBackend : public LinkBackend {
 public:
  static constexpr std::string_view kSerial = "SIM0001";
  static constexpr std::string_view kLocation = "sim";

  SimBackend(SimPrinter& printer, Clock& clock);

  std::vector<PrinterInterface> Enumerate() override;
  std::optional<PipeHandle> Open(const PrinterInterface& printer, PipeName pipe) override;
  bool Close(PipeHandle handle) override;
  TransferResult Write(PipeHandle handle, std::span<const uint8_t> data,
                       uint32_t timeout_ms) override;
  TransferResult Read(PipeHandle handle, std::span<uint8_t> buffer, uint32_t timeout_ms) override;
  void StopTransfers() override { stopped_ = true; }
  void ResumeTransfers() override { stopped_ = false; }

  // The interface Enumerate() lists when the printer is attached.
  PrinterInterface Interface() const;
  int enumerations() const { return enumerations_; }
  size_t open_handles() const { return open_.size(); }

 private:
  bool Attached() const;
  bool IsOpen(PipeHandle handle, PipeName pipe) const;

  SimPrinter& printer_;
  Clock& clock_;
  std::map<PipeHandle, PipeName> open_;
  PipeHandle next_handle_ = 1;
  int enumerations_ = 0;
  std::atomic<bool> stopped_ = false;
};

}  // namespace tarvo::sim
