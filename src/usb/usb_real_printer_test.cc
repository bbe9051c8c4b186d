// Contract test against a real printer on this machine's bus; skipped when none is attached.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "operators/recording_operator.h"
#include "link/discovery.h"
#include "link/printer_link.h"
#include "usb/usb_backend.h"

namespace tarvo {
namespace {

TEST(UsbRealPrinterTest, AttachedPrinterOpensTwiceAndIsHandedBack) {
  if (std::getenv("UMOCKDEV_DIR")) GTEST_SKIP() << "this process sees the emulated bus";
  std::string error;
  auto backend = UsbBackend::Create(&error);
  if (!backend) GTEST_SKIP() << "no USB access here: " << error;
  if (!FindPrinterInterface(*backend)) {
    std::string why = "no supported printer attached";
    for (const auto& p : backend->Enumerate()) {
      if (MatchSupportedDevice(p.instance)) why += "; " + p.instance + ": " + p.reason;
    }
    GTEST_SKIP() << why;
  }

  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  NullLineSink lines;
  WireLog wire(lines);
  Context ctx{kProgramEdition, clock, op, settings, wire};
  PrinterLink link(ctx, *backend);
  // The second open only works if the first close released the interface.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(link.HandleOpen()) << round;
    EXPECT_TRUE(link.HandleClose()) << round;
  }
  EXPECT_TRUE(op.messages().empty());
}

}  // namespace
}  // namespace tarvo
