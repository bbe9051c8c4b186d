#include "base/stop_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"

namespace tarvo {
namespace {

using Steady = std::chrono::steady_clock;

TEST(StopRequestTest, HooksRunAtTheRequestOrAtOnceWhenItCameFirstAndNeverAfterTheirEnd) {
  StopRequest stop;
  int early = 0;
  {
    StopRequest::Hook hook(&stop, [&] { ++early; });
    EXPECT_EQ(early, 0);
    stop.Request();
    stop.Request();  // a second request changes nothing
    EXPECT_EQ(early, 1);
  }
  int late = 0;
  StopRequest::Hook hook(&stop, [&] { ++late; });
  EXPECT_EQ(late, 1);  // the request was made before the hook
  stop.Clear();
  EXPECT_FALSE(stop.requested());
  EXPECT_FALSE(stop.WaitFor(0));
  stop.Request();
  EXPECT_EQ(late, 2);
  EXPECT_EQ(early, 1);

  StopRequest::Hook nothing(nullptr, [] { throw std::logic_error("never called"); });
}

TEST(StopRequestTest, RequestFromAnotherThreadEndsALongWaitAtOnce) {
  StopRequest stop;
  const auto start = Steady::now();
  std::thread requester([&] { stop.Request(); });
  EXPECT_TRUE(stop.WaitFor(60'000));
  requester.join();
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(100));
  EXPECT_THROW(stop.ThrowIfRequested(), OperationStopped);
}

TEST(StopRequestTest, OperationStoppedUnwindsAsAnOperatorAbort) {
  try {
    throw OperationStopped();
  } catch (const OperatorAborted& e) {
    EXPECT_STREQ(e.what(), "stopped on request");
  }
}

TEST(VirtualClockTest, SleepThrowsOnceAStopIsRequestedAndIsNotRecorded) {
  StopRequest stop;
  VirtualClock clock;
  clock.set_stop(&stop);
  clock.SleepMs(1000);
  stop.Request();
  EXPECT_THROW(clock.SleepMs(66'000), OperationStopped);
  clock.Elapse(500);  // time inside a transfer moves on; the transfer reports the stop
  EXPECT_EQ(clock.NowMs(), 1500);
  stop.Clear();
  clock.SleepMs(2000);
  EXPECT_EQ(clock.sleeps(), (std::vector<int64_t>{1000, 2000}));
}

TEST(RealClockTest, StopEndsASleepWithOperationStoppedAndATransferWaitQuietly) {
  StopRequest stop;
  RealClock clock;
  clock.set_stop(&stop);
  std::thread requester([&] { stop.Request(); });
  const auto start = Steady::now();
  EXPECT_THROW(clock.SleepMs(60'000), OperationStopped);
  requester.join();
  clock.Elapse(60'000);  // returns at once, without throwing
  EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(100));
  EXPECT_THROW(clock.SleepMs(0), OperationStopped);  // even a wait of nothing
}

// Records what the context tells it; WaitStarts can run an action, WaitEnds can break its word and
// throw.
class WaitOperator : public Operator {
 public:
  Reply Show(const Message& m) override {
    events.push_back("message " + m.text);
    return Reply::kOk;
  }
  void OpenWaitWindow(const WaitWindow& w) override { events.push_back("window+ " + w.caption); }
  void CloseWaitWindow() override {
    events.push_back("window-");
    if (throw_at_end) throw std::runtime_error("window");
  }
  void WaitStarts(int64_t ms) override {
    events.push_back("wait " + std::to_string(ms));
    if (at_start) at_start();
  }
  void WaitEnds() override {
    events.push_back("wait-end");
    if (throw_at_end) throw std::runtime_error("wait");
  }
  DialogResult ShowDialog(DialogModel&) override { return DialogResult::kCancel; }
  std::optional<std::string> ChooseFile(const FileRequest&) override { return {}; }

  std::vector<std::string> events;
  std::function<void()> at_start;
  bool throw_at_end = false;
};

struct ContextWaitTest : ::testing::Test {
  StopRequest stop;
  RealClock clock;
  WaitOperator op;
  MemorySettingsStore settings;
  MemoryLineSink lines;
  WireLog wire{lines};
  Context ctx{kProgramEdition, clock, op, settings, wire, {}, &stop};
  ContextWaitTest() { clock.set_stop(&stop); }
};

TEST_F(ContextWaitTest, StopMadeWhenTheWaitIsAnnouncedEndsItAndTheEndIsStillTold) {
  std::thread requester;
  Steady::time_point requested;
  op.at_start = [&] {
    requester = std::thread([&] {
      requested = Steady::now();
      stop.Request();
    });
  };
  {
    WaitWindowGuard window(op, WaitWindow{190, "Printer Busy", ""});
    EXPECT_THROW(ctx.Wait(60'000), OperationStopped);
  }
  requester.join();
  EXPECT_LT(Steady::now() - requested, std::chrono::milliseconds(100));
  EXPECT_EQ(op.events, (std::vector<std::string>{"window+ Printer Busy", "wait 60000", "wait-end",
                                                 "window-"}));
}

TEST_F(ContextWaitTest, WaitAfterTheRequestNeverStartsAndNoStopMeansAPlainWait) {
  stop.Request();
  EXPECT_THROW(ctx.Wait(60'000), OperationStopped);
  EXPECT_EQ(op.events, (std::vector<std::string>{"wait 60000", "wait-end"}));

  Context unstoppable{kProgramEdition, clock, op, settings, wire};
  EXPECT_EQ(unstoppable.stop, nullptr);
  VirtualClock free_clock;
  Context plain{kProgramEdition, free_clock, op, settings, wire};
  plain.Wait(1000);  // the request is not this context's: the wait runs
  EXPECT_EQ(free_clock.sleeps(), std::vector<int64_t>{1000});
}

TEST_F(ContextWaitTest, ClosingAWindowAndEndingAWaitNeverThrowOnTheWayOut) {
  op.throw_at_end = true;
  stop.Request();
  try {
    WaitWindowGuard window(op, WaitWindow{191, "Ink DisCharge", ""});
    ctx.Wait(10'000);
    FAIL() << "the wait was not stopped";
  } catch (const OperationStopped&) {
  }
  EXPECT_EQ(op.events, (std::vector<std::string>{"window+ Ink DisCharge", "wait 10000", "wait-end",
                                                 "window-"}));
}

}  // namespace

// Writes the observer's news into the operator's events, so their order shows.
class EventObserver : public WaitObserver {
 public:
  explicit EventObserver(std::vector<std::string>& events) : events_(events) {}
  void Begins(std::string_view label, int64_t ms) override {
    events_.push_back("named " + std::string(label) + " " + std::to_string(ms));
  }
  void Ends() noexcept override { events_.push_back("named-end"); }

 private:
  std::vector<std::string>& events_;
};

TEST_F(ContextWaitTest, LongerWaitsAreToldByNameInTheEditionsWordsAlsoWhenCutShort) {
  EventObserver observer(op.events);
  VirtualClock free_clock;
  Context program{kProgramEdition, free_clock, op, settings, wire, {}, &stop};
  program.waits = &observer;
  program.Wait(12'000, wait_labels::kGreasing);
  program.Wait(1'999, wait_labels::kGreasing);  // too short to count down
  program.Wait(2'000);
  EXPECT_EQ(op.events,
            (std::vector<std::string>{"named Greasing 12000", "wait 12000", "wait-end", "named-end",
                                      "wait 1999", "wait-end", "named Waiting 2000", "wait 2000",
                                      "wait-end", "named-end"}));
  op.events.clear();
  Context library{kLibraryEdition, free_clock, op, settings, wire, {}, &stop};
  library.waits = &observer;
  stop.Request();
  EXPECT_THROW(library.Wait(10'000, wait_labels::kCleaningNozzles), OperationStopped);
  EXPECT_EQ(op.events, (std::vector<std::string>{"named 清洗噴頭中 10000", "wait 10000", "wait-end",
                                                 "named-end"}));
  // Nothing of it reaches the wire but the wait itself.
  EXPECT_EQ(lines.lines(), (std::vector<std::string>{"S 12000", "S 1999", "S 2000", "S 10000"}));
}

}  // namespace tarvo
