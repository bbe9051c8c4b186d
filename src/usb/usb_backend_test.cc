#include "usb/usb_backend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "usb/testing/emulated_printer.h"

namespace tarvo {
namespace {

using testing::EmulatedPrinter;
using testing::EmulatedPrinterSpec;

struct UsbBackendTest : ::testing::Test {
  UsbBackendTest() { testing::Testbed(); }

  // libusb looks at the bus once at start; printers are plugged in before that.
  UsbBackend& Backend() {
    if (!backend) {
      std::string error;
      backend = UsbBackend::Create(&error);
      EXPECT_TRUE(backend) << error;
    }
    return *backend;
  }

  EmulatedPrinter& Plug(EmulatedPrinterSpec spec) {
    printers.push_back(std::make_unique<EmulatedPrinter>(std::move(spec)));
    return *printers.back();
  }

  std::vector<std::unique_ptr<EmulatedPrinter>> printers;
  std::unique_ptr<UsbBackend> backend;
};

TEST_F(UsbBackendTest, Probe) {
  auto& p = Plug({});
  auto list = Backend().Enumerate();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].instance, "USB\\VID_0A3C&PID_7251\\SN0001");
  EXPECT_EQ(list[0].location, "1-1:1.0");
  EXPECT_TRUE(list[0].linked) << list[0].reason;
  auto w = Backend().Open(list[0], PipeName::kWrite);
  auto r = Backend().Open(list[0], PipeName::kRead);
  ASSERT_TRUE(w && r);
  EXPECT_FALSE(p.usblp_bound());
  EXPECT_TRUE(p.claimed());
  uint8_t cmd[8] = {0x1c, 0x81, 0, 0, 0x29, 0, 0, 0xaa};
  auto wr = Backend().Write(*w, cmd, 1000);
  EXPECT_TRUE(wr.ok());
  EXPECT_EQ(p.received(), std::vector<uint8_t>(cmd, cmd + 8));
  p.QueueReply({1, 2, 3});
  std::vector<uint8_t> buf(128);
  auto rr = Backend().Read(*r, buf, 1000);
  EXPECT_TRUE(rr.ok());
  EXPECT_EQ(rr.count, 3u);
  auto to = Backend().Read(*r, buf, 50);
  EXPECT_EQ(to.status, TransferStatus::kTimeout);
  EXPECT_TRUE(Backend().Close(*r));
  EXPECT_TRUE(Backend().Close(*w));
  EXPECT_TRUE(p.usblp_bound());
  EXPECT_FALSE(p.claimed());
}

}  // namespace
}  // namespace tarvo
