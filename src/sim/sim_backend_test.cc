#include "sim/sim_backend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/clock.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/stop_request.h"
#include "link/discovery.h"
#include "link/printer_link.h"
#include "operators/recording_operator.h"

namespace tarvo::sim {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<uint8_t>;

Bytes Packet(uint8_t code, uint8_t p0 = 0, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0) {
  auto p = MakeCommand(code, p0, p1, p2, p3);
  return {p.begin(), p.end()};
}

struct SimBackendTest : ::testing::Test {
  SimBackendTest() : printer(clock, SimSpec{}), backend(printer, clock), link(ctx, backend) {}

  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  Context ctx{kProgramEdition, clock, op, settings, wire};
  SimPrinter printer;
  SimBackend backend;
  PrinterLink link;
};

TEST_F(SimBackendTest, EepromWriteThenReadThroughThePrinterLink) {
  ASSERT_TRUE(link.HandleOpen());
  Bytes block(41);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>('A' + i % 26);
  ASSERT_TRUE(link.TimedWrite(Packet(kMemory, 1, 0, 41, 0)));
  ASSERT_TRUE(link.TimedWrite(block));

  ASSERT_TRUE(link.TimedWrite(Packet(kMemory, 0, 0, 41, 0)));
  Bytes answer(8), data(41);
  ASSERT_TRUE(link.ReadReply(answer));
  ASSERT_TRUE(link.ReadReply(data));
  EXPECT_EQ(answer, Packet(kMemory, 0, 0, 41, 0));
  EXPECT_EQ(data, block);

  // The generic read: its 200-byte answer read takes the 8-byte answer, then 128 data bytes.
  ASSERT_TRUE(link.TimedWrite(Packet(kMemory, 0, 0, 128, 0)));
  Bytes long_answer(200), image(128);
  ASSERT_TRUE(link.ReadReply(long_answer));
  ASSERT_TRUE(link.ReadReply(image));
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 41), block);
  EXPECT_EQ(image[41], 0xFF);
  link.HandleClose();

  // What the printer saw is what the wire log says was sent.
  EXPECT_THAT(printer.log(), ElementsAre("WRITE(0,41)", "DATA(41)", "READ(0,41)", "READ(0,128)"));
  EXPECT_EQ(DescribeTraffic(wire_lines.lines()), printer.log());
}

TEST_F(SimBackendTest, StatusFramesAreSkippedAndSilenceTimesOut) {
  ASSERT_TRUE(link.HandleOpen());
  printer.faults().status_frames = 3;
  printer.faults().status_kind = "WR";
  ASSERT_TRUE(link.TimedWrite(Packet(kTemperature)));
  Bytes reply(8);
  ASSERT_TRUE(link.ReadReply(reply));
  EXPECT_EQ(reply[2], 25);
  EXPECT_EQ(clock.sleeps(), (std::vector<int64_t>{500, 500, 500}));

  printer.faults().status_frames = 0;
  printer.faults().silent = true;
  ASSERT_TRUE(link.TimedWrite(Packet(kFirmware)));
  int64_t start = clock.NowMs();
  EXPECT_FALSE(link.ReadReply(reply));
  EXPECT_EQ(clock.NowMs() - start, 10'000);
  EXPECT_EQ(clock.sleeps().size(), 3u);  // a read that times out is no wait of the device layer

  printer.faults().silent = false;
  printer.faults().status_stream = true;
  ASSERT_TRUE(link.TimedWrite(Packet(kFirmware)));
  start = clock.NowMs();
  EXPECT_FALSE(link.ReadReply(reply));
  EXPECT_EQ(clock.NowMs() - start, 20'500);
}

TEST_F(SimBackendTest, WritesFailAfterTheFirstN) {
  printer.faults().fail_write_after = 2;
  ASSERT_TRUE(link.HandleOpen());
  EXPECT_TRUE(link.TimedWrite(Packet(kJobMark, 0, 0)));
  EXPECT_TRUE(link.TimedWrite(Packet(kJobMark, 1, 0)));
  EXPECT_FALSE(link.TimedWrite(Packet(kJobMark, 0, 0)));
  EXPECT_EQ(wire_lines.lines().back(), "W! 1c4a00000000004a");
}

TEST_F(SimBackendTest, EepromThatDoesNotStick) {
  printer.faults().eeprom_sticks = false;
  ASSERT_TRUE(link.HandleOpen());
  ASSERT_TRUE(link.TimedWrite(Packet(kMemory, 1, 0, 2, 0)));
  ASSERT_TRUE(link.TimedWrite(Bytes{1, 2}));
  ASSERT_TRUE(link.TimedWrite(Packet(kMemory, 0, 0, 2, 0)));
  Bytes answer(8), data(2);
  ASSERT_TRUE(link.ReadReply(answer));
  ASSERT_TRUE(link.ReadReply(data));
  EXPECT_EQ(data, (Bytes{0xFF, 0xFF}));
}

TEST_F(SimBackendTest, AbsentPrinterIsOffLine) {
  printer.faults().absent = true;
  EXPECT_TRUE(backend.Enumerate().empty());
  EXPECT_FALSE(backend.Open(backend.Interface(), PipeName::kWrite));
  EXPECT_FALSE(link.HandleOpen());
  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_EQ(op.messages()[0].text, "Print Off line !!");
}

TEST_F(SimBackendTest, PrinterThatAppearsLateOpensOnTheThirdAttempt) {
  // Each attempt looks for the printer once per pipe: the first two attempts see nothing.
  printer.faults().appear_after = 4;
  ASSERT_TRUE(link.HandleOpen());
  EXPECT_EQ(clock.sleeps(), (std::vector<int64_t>{1000, 1000}));
  EXPECT_EQ(backend.enumerations(), 6);
  EXPECT_TRUE(op.messages().empty());
}

TEST_F(SimBackendTest, TransfersNeedTheRightOpenHandle) {
  auto iface = backend.Enumerate().at(0);
  EXPECT_EQ(iface.instance, "USB\\VID_0A3C&PID_7251\\SIM0001");
  EXPECT_EQ(iface.location, "sim");
  EXPECT_TRUE(iface.linked);
  PipeHandle w = backend.Open(iface, PipeName::kWrite).value();
  PipeHandle r = backend.Open(iface, PipeName::kRead).value();
  Bytes buf(128);
  auto f = Packet(kFirmware);
  EXPECT_EQ(backend.Read(w, buf, 10).status, TransferStatus::kError);
  EXPECT_EQ(backend.Write(r, f, 10).status, TransferStatus::kError);
  EXPECT_TRUE(backend.Write(w, f, 10).ok());

  // A reply longer than the read buffer is cut to it.
  EXPECT_TRUE(backend.Write(w, Packet(kMemory, 0, 0, 200, 0), 10).ok());
  EXPECT_EQ(backend.Read(r, buf, 10).count, 8u);  // "F"
  EXPECT_EQ(backend.Read(r, buf, 10).count, 8u);  // the answer
  EXPECT_EQ(backend.Read(r, buf, 10).count, 128u);
  EXPECT_EQ(backend.Read(r, buf, 10).status, TransferStatus::kTimeout);

  EXPECT_TRUE(backend.Close(w));
  EXPECT_FALSE(backend.Close(w));
  EXPECT_EQ(backend.Write(w, f, 10).status, TransferStatus::kError);
  printer.faults().absent = true;  // unplugged with a pipe open
  EXPECT_EQ(backend.Read(r, buf, 10).status, TransferStatus::kError);
}

TEST(SimBackendComposite, Device4IsFoundOnlyByItsInterfaceZero) {
  VirtualClock clock;
  SimSpec spec;
  spec.product_id = 0x8802;
  spec.composite_interface = 0;
  SimPrinter with_mi(clock, spec);
  SimBackend backend(with_mi, clock);
  EXPECT_EQ(backend.Interface().instance, "USB\\VID_0A3C&PID_8802&MI_00\\SIM0001");
  EXPECT_TRUE(FindPrinterInterface(backend));

  spec.composite_interface.reset();
  SimPrinter without_mi(clock, spec);
  SimBackend plain(without_mi, clock);
  EXPECT_FALSE(FindPrinterInterface(plain));
}

// The machine's clock, telling when a transfer starts to wait out its timeout.
class WatchedClock : public RealClock {
 public:
  void Elapse(int64_t ms) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      waiting_ = true;
    }
    changed_.notify_all();
    RealClock::Elapse(ms);
  }
  void AwaitWaiting() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return waiting_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool waiting_ = false;
};

TEST(SimBackendStopTest, ReadOfASilentPrinterEndsAtOnceWhenStoppedAndTheNextOperationRuns) {
  StopRequest stop;
  WatchedClock clock;
  clock.set_stop(&stop);
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  Context ctx{kProgramEdition, clock, op, settings, wire, {}, &stop};
  SimFaults faults;
  faults.silent = true;
  SimSpec spec;
  spec.faults = faults;
  SimPrinter printer(clock, spec);
  SimBackend backend(printer, clock);
  PrinterLink link(ctx, backend);
  ASSERT_TRUE(link.HandleOpen());

  using Steady = std::chrono::steady_clock;
  Steady::time_point requested;
  std::thread requester([&] {
    clock.AwaitWaiting();
    requested = Steady::now();
    stop.Request();
  });
  Bytes buffer(128);
  EXPECT_THROW(link.TimedRead(buffer, 60'000), OperationStopped);
  requester.join();
  EXPECT_LT(Steady::now() - requested, std::chrono::milliseconds(100));
  EXPECT_EQ(wire_lines.lines().back(), "R!");

  // The printer saw nothing of a write made while stopped; once cleared, it answers again.
  stop.Request();
  EXPECT_THROW(link.TimedWrite(Packet(kTemperature)), OperationStopped);
  EXPECT_TRUE(printer.log().empty());
  stop.Clear();
  printer.faults().silent = false;
  ASSERT_TRUE(link.TimedWrite(Packet(kTemperature)));
  Bytes reply(8);
  EXPECT_TRUE(link.ReadReply(reply));
}

}  // namespace
}  // namespace tarvo::sim
