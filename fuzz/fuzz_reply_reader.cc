// The reply reader over a printer whose transfers come from the input: each transfer is a length
// byte and that many bytes (a length of 255 is a read that times out; the input running out is a
// silent printer). Whatever arrives, a read that succeeds hands back the first transfer that is no
// status frame, cut or zero-padded to the size asked for; a read that fails leaves the
// destination as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <optional>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "link/discovery.h"
#include "link/printer_link.h"
#include "operators/recording_operator.h"

namespace {

using tarvo::PipeHandle;
using tarvo::TransferResult;
using tarvo::TransferStatus;

struct Transfer {
  bool timeout = false;
  std::vector<uint8_t> bytes;
};

class ScriptedBackend : public tarvo::LinkBackend {
 public:
  explicit ScriptedBackend(std::deque<Transfer> reads) : reads_(std::move(reads)) {}
  std::vector<tarvo::PrinterInterface> Enumerate() override {
    tarvo::PrinterInterface p;
    p.vendor_id = tarvo::kSupportedDevices[0].vendor_id;
    p.product_id = tarvo::kSupportedDevices[0].product_id;
    p.instance = std::string(tarvo::kSupportedDevices[0].instance_prefix) + "\\FUZZ";
    p.linked = true;
    return {p};
  }
  std::optional<PipeHandle> Open(const tarvo::PrinterInterface&, tarvo::PipeName pipe) override {
    return pipe == tarvo::PipeName::kWrite ? 1 : 2;
  }
  bool Close(PipeHandle) override { return true; }
  TransferResult Write(PipeHandle, std::span<const uint8_t> data, uint32_t) override {
    return {TransferStatus::kOk, data.size()};
  }
  TransferResult Read(PipeHandle, std::span<uint8_t> buffer, uint32_t) override {
    if (reads_.empty() || reads_.front().timeout) {
      if (!reads_.empty()) reads_.pop_front();
      return {TransferStatus::kTimeout, 0};
    }
    const Transfer t = std::move(reads_.front());
    reads_.pop_front();
    const size_t n = std::min(buffer.size(), t.bytes.size());
    std::copy_n(t.bytes.begin(), n, buffer.begin());
    return {TransferStatus::kOk, n};
  }

 private:
  std::deque<Transfer> reads_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t want = 1 + data[0] % tarvo::PrinterLink::kReplyBufferSize;
  const bool library = data[1] & 1;
  std::deque<Transfer> reads;
  for (size_t i = 2; i < size;) {
    const uint8_t len = data[i++];
    if (len == 255) {
      reads.push_back({true, {}});
      continue;
    }
    const size_t n = std::min<size_t>(len, size - i);
    reads.push_back({false, std::vector<uint8_t>(data + i, data + i + n)});
    i += n;
  }
  // What a correct reader returns: the first transfer the printer did not send on its own, as far
  // as the reads go (one read hands back at most kReplyReadSize bytes).
  std::optional<std::vector<uint8_t>> expected;
  for (const Transfer& t : reads) {
    if (t.timeout) break;
    std::vector<uint8_t> got(t.bytes.begin(),
                             t.bytes.begin() + std::min(t.bytes.size(),
                                                        tarvo::PrinterLink::kReplyReadSize));
    if (tarvo::PrinterLink::IsStatusFrame(got)) continue;
    got.resize(want, 0);
    expected = got;
    break;
  }

  ScriptedBackend backend(std::move(reads));
  tarvo::VirtualClock clock;
  tarvo::RecordingOperator op;
  tarvo::MemorySettingsStore settings;
  tarvo::NullLineSink sink;
  tarvo::WireLog wire(sink);
  const tarvo::Context ctx{library ? tarvo::kLibraryEdition : tarvo::kProgramEdition, clock, op,
                           settings, wire};
  tarvo::PrinterLink link(ctx, backend);
  if (!link.HandleOpen()) std::abort();
  std::vector<uint8_t> dest(want, 0xA5);
  const bool ok = link.ReadReply(dest);
  if (ok) {
    // Status frames past the edition's cap may end the read early, but what it hands back is
    // always the first real reply.
    if (!expected || dest != *expected) std::abort();
  } else if (std::any_of(dest.begin(), dest.end(), [](uint8_t b) { return b != 0xA5; })) {
    std::abort();
  }
  return 0;
}
