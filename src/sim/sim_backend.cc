#include "sim/sim_backend.h"

#include <algorithm>

#include "link/discovery.h"

namespace tarvo::sim {

SimBackend::SimBackend(SimPrinter& printer, Clock& clock) : printer_(printer), clock_(clock) {}

bool SimBackend::Attached() const {
  const SimFaults& f = printer_.faults();
  return !f.absent && enumerations_ > f.appear_after;
}

PrinterInterface SimBackend::Interface() const {
  const SimSpec& spec = printer_.spec();
  PrinterInterface p;
  p.vendor_id = spec.vendor_id;
  p.product_id = spec.product_id;
  p.interface_number = spec.composite_interface.value_or(0);
  p.instance =
      FormatDeviceInstance(spec.vendor_id, spec.product_id, spec.composite_interface, kSerial);
  p.linked = true;
  p.location = kLocation;
  return p;
}

std::vector<PrinterInterface> SimBackend::Enumerate() {
  ++enumerations_;
  if (!Attached()) return {};
  return {Interface()};
}

std::optional<PipeHandle> SimBackend::Open(const PrinterInterface& printer, PipeName pipe) {
  if (!Attached() || printer.location != kLocation) return {};
  PipeHandle handle = next_handle_++;
  open_[handle] = pipe;
  return handle;
}

bool SimBackend::Close(PipeHandle handle) {
  auto it = open_.find(handle);
  if (it == open_.end()) return false;
  bool write_pipe = it->second == PipeName::kWrite;
  open_.erase(it);
  if (write_pipe) printer_.LinkClosed();
  return true;
}

bool SimBackend::IsOpen(PipeHandle handle, PipeName pipe) const {
  auto it = open_.find(handle);
  return it != open_.end() && it->second == pipe;
}

TransferResult SimBackend::Write(PipeHandle handle, std::span<const uint8_t> data, uint32_t) {
  if (stopped_) return {TransferStatus::kStopped, 0};
  if (!IsOpen(handle, PipeName::kWrite) || !Attached()) return {TransferStatus::kError, 0};
  if (!printer_.Receive(data)) return {TransferStatus::kError, 0};
  return {TransferStatus::kOk, data.size()};
}

TransferResult SimBackend::Read(PipeHandle handle, std::span<uint8_t> buffer, uint32_t timeout_ms) {
  if (stopped_) return {TransferStatus::kStopped, 0};
  if (!IsOpen(handle, PipeName::kRead) || !Attached()) return {TransferStatus::kError, 0};
  auto reply = printer_.NextReply();
  if (!reply) {
    clock_.Elapse(timeout_ms);
    if (stopped_) return {TransferStatus::kStopped, 0};
    return {TransferStatus::kTimeout, 0};
  }
  // A reply is one transfer: what does not fit the read buffer is lost.
  size_t n = std::min(reply->size(), buffer.size());
  std::copy_n(reply->begin(), n, buffer.begin());
  return {TransferStatus::kOk, n};
}

}  // namespace tarvo::sim
