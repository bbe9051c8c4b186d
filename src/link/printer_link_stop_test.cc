#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/clock.h"
#include "base/line_sink.h"
#include "base/stop_request.h"
#include "link/discovery.h"
#include "link/printer_link.h"
#include "operators/recording_operator.h"

namespace tarvo {
namespace {

// One printer whose transfers block, as on a printer that does not answer, until they are
// stopped; a write goes through when `writes_pass` is set. Tells when a transfer is pending.
class BlockingBackend : public LinkBackend {
 public:
  std::vector<PrinterInterface> Enumerate() override {
    PrinterInterface p;
    p.vendor_id = 0x0A3C;
    p.product_id = 0x7251;
    p.instance = FormatDeviceInstance(p.vendor_id, p.product_id, std::nullopt, "SN1");
    p.linked = true;
    p.location = "fake";
    return {p};
  }
  std::optional<PipeHandle> Open(const PrinterInterface&, PipeName pipe) override {
    return pipe == PipeName::kWrite ? 1 : 2;
  }
  bool Close(PipeHandle) override { return true; }
  TransferResult Write(PipeHandle, std::span<const uint8_t> data, uint32_t) override {
    if (writes_pass && !stopped()) return {TransferStatus::kOk, data.size()};
    return Block();
  }
  TransferResult Read(PipeHandle, std::span<uint8_t>, uint32_t) override { return Block(); }
  void StopTransfers() override {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }
  void ResumeTransfers() override {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = false;
    ++resumed;
  }

  // Blocks until a transfer is pending.
  void AwaitPending() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return pending_; });
  }
  bool stopped() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
  }

  bool writes_pass = false;
  int resumed = 0;

 private:
  TransferResult Block() {
    std::unique_lock<std::mutex> lock(mutex_);
    pending_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return stopped_; });
    pending_ = false;
    return {TransferStatus::kStopped, 0};
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  bool pending_ = false;
  bool stopped_ = false;
};

struct PrinterLinkStopTest : ::testing::Test {
  PrinterLinkStopTest() { EXPECT_TRUE(link.HandleOpen()); }

  StopRequest stop;
  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink lines;
  WireLog wire{lines};
  Context ctx{kProgramEdition, clock, op, settings, wire, {}, &stop};
  BlockingBackend backend;
  PrinterLink link{ctx, backend};
};

TEST_F(PrinterLinkStopTest, PendingReadIsCutShortByARequestFromAnotherThread) {
  std::thread requester([&] {
    backend.AwaitPending();
    stop.Request();
  });
  std::array<uint8_t, 128> buffer{};
  size_t count = 99;
  EXPECT_THROW(link.TimedRead(buffer, 60'000, &count), OperationStopped);
  requester.join();
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(backend.resumed, 1);  // ready for the next operation once the request is cleared
  EXPECT_TRUE(link.is_open());    // closing it is the front end's
  EXPECT_EQ(lines.lines().back(), "R!");
}

TEST_F(PrinterLinkStopTest, PendingWriteIsCutShortAndLoggedAsFailed) {
  std::thread requester([&] {
    backend.AwaitPending();
    stop.Request();
  });
  const uint8_t command[] = {0x1b, 0x40};
  EXPECT_THROW(link.TimedWrite(command), OperationStopped);
  requester.join();
  EXPECT_EQ(lines.lines().back(), "W! 1b40");
}

TEST_F(PrinterLinkStopTest, AfterARequestNoTransferStartsUntilItIsCleared) {
  backend.writes_pass = true;
  const uint8_t command[] = {0x1b, 0x40};
  stop.Request();
  EXPECT_THROW(link.TimedWrite(command), OperationStopped);
  EXPECT_FALSE(backend.stopped());  // refused before the backend was asked at all
  stop.Clear();
  EXPECT_TRUE(link.TimedWrite(command));
  EXPECT_THAT(lines.lines(), ::testing::Contains("W 1b40"));
}

TEST_F(PrinterLinkStopTest, WithoutAStopRequestTransfersAreLeftAlone) {
  Context unstoppable{kProgramEdition, clock, op, settings, wire};
  BlockingBackend passing;
  passing.writes_pass = true;
  PrinterLink plain(unstoppable, passing);
  ASSERT_TRUE(plain.HandleOpen());
  stop.Request();  // not this context's
  const uint8_t command[] = {0x1b, 0x40};
  EXPECT_TRUE(plain.TimedWrite(command));
  EXPECT_EQ(passing.resumed, 0);
}

}  // namespace
}  // namespace tarvo
