#include "library/export_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace tarvo::library {
namespace {

// A host's window procedure, run by a dialog's message loop inside an export, calling another.
TEST(ExportGate, CallFromInsideAnExportOnItsThreadIsTurnedAway) {
  ExportGate gate;
  {
    ExportGate::Pass outer = gate.Enter("PrintChart");
    ASSERT_TRUE(outer.entered());
    ExportGate::Pass inner = gate.Enter("HandleClose");
    EXPECT_FALSE(inner.entered());
    EXPECT_EQ(std::string(inner.running()), "PrintChart");
  }
  // Both gone: the thread's next call runs.
  EXPECT_TRUE(gate.Enter("HandleClose").entered());
}

TEST(ExportGate, ThreadsTakeTurns) {
  ExportGate gate;
  int inside = 0;  // not atomic: the gate alone keeps the threads apart
  int overlaps = 0;
  std::atomic<int> refused = 0;
  auto run = [&] {
    for (int i = 0; i < 20'000; ++i) {
      ExportGate::Pass pass = gate.Enter("ReadData");
      if (!pass.entered()) {
        ++refused;
        continue;
      }
      if (++inside != 1) ++overlaps;
      --inside;
    }
  };
  std::thread other(run);
  run();
  other.join();
  EXPECT_EQ(overlaps, 0);
  EXPECT_EQ(refused, 0);  // a wait, never a refusal, across threads
}

}  // namespace
}  // namespace tarvo::library
