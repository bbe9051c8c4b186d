// A stop request in the middle of a maintenance operation on the machine's clock: the operation
// unwinds as an operator abort does, the way a front end sees it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

#include "base/clock.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/stop_request.h"
#include "base/wire_log.h"
#include "link/printer_link.h"
#include "model/chart_label.h"
#include "operations/maintenance.h"
#include "operators/recording_operator.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace tarvo {
namespace {

using Steady = std::chrono::steady_clock;

// The operator presses Stop as soon as a wait is announced (from another thread, as a window
// thread would), and notes the end of each wait.
class StoppingOperator : public RecordingOperator {
 public:
  explicit StoppingOperator(StopRequest& stop) : stop_(stop) {}
  ~StoppingOperator() override {
    if (presser_.joinable()) presser_.join();
  }
  void WaitStarts(int64_t ms) override {
    RecordingOperator::WaitStarts(ms);
    presser_ = std::thread([this] {
      requested_at = Steady::now();
      stop_.Request();
    });
  }
  void WaitEnds() override { ends.push_back(events().size()); }
  void JoinPresser() { presser_.join(); }

  Steady::time_point requested_at;
  std::vector<size_t> ends;  // how many events there were at each end of a wait

 private:
  StopRequest& stop_;
  std::thread presser_;
};

TEST(MaintenanceStopTest, StopDuringTheCleaningWaitUnwindsAtOnceAndTheLinkIsClosedAfter) {
  StopRequest stop;
  RealClock clock;
  clock.set_stop(&stop);
  StoppingOperator op(stop);
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  Context ctx{kProgramEdition, clock, op, settings, wire, {}, &stop};
  sim::SimPrinter printer(clock, sim::SimSpec{});
  sim::SimBackend backend(printer, clock);
  PrinterLink link(ctx, backend);
  ASSERT_TRUE(link.HandleOpen());

  ChartLabel label;
  bool stopped = false;
  try {
    static_cast<void>(NozzleClean(ctx, link, label, 1));
  } catch (const OperatorAborted&) {
    // What a front end does at its top level.
    stopped = stop.requested();
    link.HandleClose();
  }
  op.JoinPresser();
  const auto unwound = Steady::now();

  EXPECT_TRUE(stopped);
  EXPECT_LT(unwound - op.requested_at, std::chrono::milliseconds(100));
  EXPECT_THAT(op.events(), ::testing::ElementsAre("window+ Printer Busy", "wait 10000", "window-"));
  EXPECT_EQ(op.ends, std::vector<size_t>{2});  // told of the end before the window closed
  EXPECT_TRUE(op.messages().empty());
  EXPECT_FALSE(op.window_open());
  EXPECT_FALSE(link.is_open());
  EXPECT_EQ(wire_lines.lines().back(), "C");
  EXPECT_EQ(backend.open_handles(), 0u);
}

}  // namespace
}  // namespace tarvo
