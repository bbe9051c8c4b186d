#include "link/printer_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/line_sink.h"
#include "link/discovery.h"
#include "operators/recording_operator.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;

// A backend whose printers and replies a test sets up. Reads take no time unless nothing is
// queued, when they time out after the full wait on the virtual clock.
class FakeBackend : public LinkBackend {
 public:
  explicit FakeBackend(VirtualClock& clock) : clock_(clock) {}

  std::vector<PrinterInterface> Enumerate() override {
    ++enumerations;
    if (enumerations <= absent_for) return {};
    return printers;
  }
  std::optional<PipeHandle> Open(const PrinterInterface& p, PipeName pipe) override {
    opened.push_back(p.location + ":" + std::string(PipeLabel(pipe)));
    int h = next_handle_++;
    open_handles[h] = true;
    return h;
  }
  bool Close(PipeHandle h) override {
    auto it = open_handles.find(h);
    if (it == open_handles.end() || !it->second) return false;
    it->second = false;
    return true;
  }
  TransferResult Write(PipeHandle, std::span<const uint8_t> data, uint32_t) override {
    written.emplace_back(data.begin(), data.end());
    return {TransferStatus::kOk, data.size()};
  }
  TransferResult Read(PipeHandle, std::span<uint8_t> buf, uint32_t timeout_ms) override {
    if (replies.empty()) {
      if (!endless_frame.empty()) return Copy(endless_frame, buf);
      clock_.Tick(timeout_ms);
      return {TransferStatus::kTimeout, 0};
    }
    std::vector<uint8_t> r = replies.front();
    replies.pop_front();
    return Copy(r, buf);
  }

  static PrinterInterface Printer(uint16_t vid, uint16_t pid, std::optional<int> mi,
                                  std::string location, bool linked = true) {
    PrinterInterface p;
    p.vendor_id = vid;
    p.product_id = pid;
    p.interface_number = mi.value_or(0);
    p.instance = FormatDeviceInstance(vid, pid, mi, "SN" + location);
    p.linked = linked;
    p.location = std::move(location);
    return p;
  }

  std::vector<PrinterInterface> printers;
  int absent_for = 0;  // Enumerate() finds nothing this many times
  int enumerations = 0;
  std::vector<std::string> opened;
  std::map<int, bool> open_handles;
  std::vector<std::vector<uint8_t>> written;
  std::deque<std::vector<uint8_t>> replies;
  std::vector<uint8_t> endless_frame;

 private:
  TransferResult Copy(const std::vector<uint8_t>& r, std::span<uint8_t> buf) {
    size_t n = std::min(r.size(), buf.size());
    std::copy_n(r.begin(), n, buf.begin());
    return {TransferStatus::kOk, n};
  }
  VirtualClock& clock_;
  int next_handle_ = 3;
};

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

struct LinkTest : ::testing::Test {
  explicit LinkTest(const Edition& edition = kProgramEdition)
      : ctx{edition, clock, op, settings, wire}, link(ctx, backend) {}

  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  FakeBackend backend{clock};
  Context ctx;
  PrinterLink link;
};

struct LibraryLinkTest : LinkTest {
  LibraryLinkTest() : LinkTest(kLibraryEdition) {}
};

TEST_F(LinkTest, ReadReplySkipsEveryKindOfStatusFrame) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  for (const char* frame : {"@x", "ST", "ER", "WR", "IQ", "TC", "RC", "FF"}) {
    backend.replies = {Bytes(frame), Bytes("ANSWER!!")};
    std::vector<uint8_t> dest(8, 0xEE);
    clock.ClearSleeps();
    EXPECT_TRUE(link.ReadReply(dest)) << frame;
    EXPECT_EQ(dest, Bytes("ANSWER!!")) << frame;
    EXPECT_THAT(clock.sleeps(), ElementsAre(500)) << frame;
  }
}

TEST_F(LinkTest, StatusFrameComparisonIsExact) {
  EXPECT_FALSE(PrinterLink::IsStatusFrame(Bytes("St")));
  EXPECT_FALSE(PrinterLink::IsStatusFrame(Bytes("S")));
  EXPECT_FALSE(PrinterLink::IsStatusFrame({}));
  EXPECT_TRUE(PrinterLink::IsStatusFrame(Bytes("@")));

  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  backend.replies = {Bytes("St-reply")};
  std::vector<uint8_t> dest(8);
  EXPECT_TRUE(link.ReadReply(dest));
  EXPECT_EQ(dest, Bytes("St-reply"));
}

TEST_F(LinkTest, ShortReplyIsAcceptedAndPaddedWithZeros) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  backend.replies = {Bytes("EIGHT-BY")};
  std::vector<uint8_t> dest(41, 0xEE);
  EXPECT_TRUE(link.ReadReply(dest));
  EXPECT_EQ(std::vector<uint8_t>(dest.begin(), dest.begin() + 8), Bytes("EIGHT-BY"));
  EXPECT_EQ(std::vector<uint8_t>(dest.begin() + 8, dest.end()), std::vector<uint8_t>(33, 0));
}

TEST_F(LinkTest, ProgramGivesUpOnASteadyStreamOfStatusFramesAfterTwentySeconds) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  backend.endless_frame = Bytes("ST");
  std::vector<uint8_t> dest(8, 0xEE);
  int64_t start = clock.NowMs();
  EXPECT_FALSE(link.ReadReply(dest));
  EXPECT_EQ(clock.NowMs() - start, 20'500);  // the cap is checked after each 500 ms pause
  EXPECT_EQ(dest, std::vector<uint8_t>(8, 0xEE));
}

TEST_F(LinkTest, SilentPrinterFailsTheReadAfterTenSeconds) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  std::vector<uint8_t> dest(8, 0xEE);
  int64_t start = clock.NowMs();
  EXPECT_FALSE(link.ReadReply(dest));
  EXPECT_EQ(clock.NowMs() - start, 10'000);
  EXPECT_EQ(dest, std::vector<uint8_t>(8, 0xEE));
  EXPECT_EQ(wire_lines.lines().back(), "R!");
}

TEST_F(LibraryLinkTest, LibraryWaitsLongerForRepliesAndThroughStatusFrames) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  // A minute of status frames is nothing to the library.
  for (int i = 0; i < 120; ++i) backend.replies.push_back(Bytes("ST"));
  backend.replies.push_back(Bytes("ANSWER!!"));
  std::vector<uint8_t> dest(8);
  EXPECT_TRUE(link.ReadReply(dest));
  EXPECT_EQ(dest, Bytes("ANSWER!!"));

  int64_t start = clock.NowMs();
  EXPECT_FALSE(link.ReadReply(dest));
  EXPECT_EQ(clock.NowMs() - start, 180'000);
}

TEST_F(LinkTest, HandleOpenWithoutPrinterRetriesTenTimesThenReportsOffLine) {
  EXPECT_FALSE(link.HandleOpen());
  EXPECT_EQ(clock.sleeps(), std::vector<int64_t>(10, 1000));
  EXPECT_EQ(clock.NowMs(), 10'000);
  ASSERT_EQ(op.windows().size(), 1u);
  EXPECT_EQ(op.windows()[0].caption, "Connect");
  EXPECT_EQ(op.windows()[0].text, "Connecting....Please Wait !!");
  EXPECT_EQ(op.windows()[0].waits, 10);  // one count over all the retries' waits
  EXPECT_FALSE(op.window_open());
  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_EQ(op.messages()[0].text, "Print Off line !!");
  EXPECT_EQ(op.messages()[0].caption, "ERROR");
  EXPECT_EQ(op.messages()[0].icon, Icon::kError);
  EXPECT_FALSE(link.is_open());
  // 11 attempts of two pipe opens each.
  EXPECT_EQ(std::count(wire_lines.lines().begin(), wire_lines.lines().end(), "O PIPE00 fail"), 11);
}

TEST_F(LibraryLinkTest, LibraryTellsTheOperatorInItsOwnWords) {
  EXPECT_FALSE(link.HandleOpen());
  EXPECT_EQ(op.windows()[0].text, "連線中....請稍等 !!");
  EXPECT_EQ(op.messages()[0].text, "印表機離線!!");
  EXPECT_EQ(op.messages()[0].caption, "ERROR");
}

TEST_F(LinkTest, PrinterThatAppearsOnTheThirdAttemptIsOpened) {
  backend.printers = {FakeBackend::Printer(0x0B7D, 0x080C, {}, "late")};
  backend.absent_for = 4;  // two attempts of two pipe opens each find nothing
  EXPECT_TRUE(link.HandleOpen());
  EXPECT_EQ(clock.sleeps(), (std::vector<int64_t>{1000, 1000}));
  EXPECT_TRUE(op.messages().empty());
  EXPECT_THAT(backend.opened, ElementsAre("late:PIPE00", "late:PIPE01"));
}

TEST_F(LinkTest, HalfOpenAttemptIsClosedBeforeTheNextOne) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  backend.absent_for = 0;
  // The write pipe opens, the read pipe's discovery finds nothing once.
  int calls = 0;
  struct Flaky : FakeBackend {
    using FakeBackend::FakeBackend;
    int* calls;
    std::vector<PrinterInterface> Enumerate() override {
      return ++*calls == 2 ? std::vector<PrinterInterface>{} : FakeBackend::Enumerate();
    }
  } flaky(clock);
  flaky.calls = &calls;
  flaky.printers = backend.printers;
  PrinterLink flaky_link(ctx, flaky);
  EXPECT_TRUE(flaky_link.HandleOpen());
  int still_open = 0;
  for (auto& [h, open] : flaky.open_handles) still_open += open;
  EXPECT_EQ(still_open, 2);  // the write pipe of the failed attempt was closed
}

TEST_F(LinkTest, LastOfTwoLinkedPrintersWins) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "first"),
                      FakeBackend::Printer(0x0A3C, 0x8801, {}, "second"),
                      FakeBackend::Printer(0x0A3C, 0x7253, {}, "unlinked", false)};
  EXPECT_TRUE(link.HandleOpen());
  EXPECT_THAT(backend.opened, ElementsAre("second:PIPE00", "second:PIPE01"));
}

TEST(DiscoveryTest, IdentitiesAreMatchedByPrefixIgnoringCase) {
  EXPECT_EQ(MatchSupportedDevice("USB\\VID_0A3C&PID_8802&MI_00\\1")->number, 4);
  EXPECT_EQ(MatchSupportedDevice("USB\\VID_0A3C&PID_8802&MI_01\\1"), nullptr);
  EXPECT_EQ(MatchSupportedDevice("USB\\VID_0A3C&PID_8802\\1"), nullptr);
  EXPECT_EQ(MatchSupportedDevice("usb\\vid_0a3c&pid_7251\\abc")->number, 1);
  EXPECT_EQ(MatchSupportedDevice("USB\\VID_0B7D&PID_080C\\x")->number, 6);
  EXPECT_EQ(MatchSupportedDevice("USB\\VID_0B7D&PID_0006\\x"), nullptr);
  EXPECT_EQ(FormatDeviceInstance(0x0a3c, 0x8802, 0, "S1"), "USB\\VID_0A3C&PID_8802&MI_00\\S1");
}

TEST_F(LinkTest, DeviceFourOnInterfaceOneIsNotOpened) {
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x8802, 1, "mi1")};
  EXPECT_FALSE(link.HandleOpen());
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x8802, 0, "mi0")};
  EXPECT_TRUE(link.HandleOpen());
}

TEST_F(LinkTest, LowerCaseInstanceIsMatched) {
  auto p = FakeBackend::Printer(0x0A3C, 0x7251, {}, "lower");
  p.instance = "usb\\vid_0a3c&pid_7251\\sn";
  backend.printers = {p};
  EXPECT_TRUE(link.HandleOpen());
}

TEST_F(LinkTest, HandleCloseTwiceClosesOnlyWhatWasOpen) {
  EXPECT_FALSE(link.HandleClose());  // never opened: nothing to close
  backend.printers = {FakeBackend::Printer(0x0A3C, 0x7251, {}, "a")};
  ASSERT_TRUE(link.HandleOpen());
  EXPECT_TRUE(link.HandleClose());
  EXPECT_FALSE(link.HandleClose());
  for (auto& [h, open] : backend.open_handles) EXPECT_FALSE(open) << h;
  EXPECT_EQ(std::count(wire_lines.lines().begin(), wire_lines.lines().end(), "C"), 1);
}

TEST_F(LinkTest, TransfersWithoutAnOpenLinkFail) {
  uint8_t packet[8] = {0x1c, 0x46, 0, 0, 0, 0, 0, 0x46};
  EXPECT_FALSE(link.TimedWrite(packet));
  EXPECT_EQ(wire_lines.lines().back(), "W! 1c46000000000046");
  std::vector<uint8_t> dest(8);
  EXPECT_FALSE(link.ReadReply(dest));
}

}  // namespace
}  // namespace tarvo
