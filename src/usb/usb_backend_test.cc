#include "usb/usb_backend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "base/edition.h"
#include "link/discovery.h"
#include "usb/testing/emulated_bus.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;
using testing::EmulatedBusTest;
using testing::EmulatedPrinter;
using testing::EmulatedPrinterSpec;
using ::testing::SizeIs;

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

struct UsbBackendTest : EmulatedBusTest {
  // Both pipes of the printer found now.
  std::pair<PipeHandle, PipeHandle> OpenBoth() {
    auto printer = FindPrinterInterface(backend());
    EXPECT_TRUE(printer);
    if (!printer) return {0, 0};
    auto write = backend().Open(*printer, PipeName::kWrite);
    auto read = backend().Open(*printer, PipeName::kRead);
    EXPECT_TRUE(write && read);
    return {write.value_or(0), read.value_or(0)};
  }
};

TEST_F(UsbBackendTest, EachSupportedIdentityIsFoundOnItsPrinterInterface) {
  int port = 1;
  for (const auto& device : kSupportedDevices) {
    EmulatedPrinterSpec spec;
    spec.vendor_id = device.vendor_id;
    spec.product_id = device.product_id;
    spec.port = port++;
    spec.serial = "SN" + std::to_string(device.number);
    if (device.number == 4) spec.interface_count = 2;  // composite: printer on interface 0
    EmulatedPrinter& printer = Plug(spec);
    DropBackend();  // a fresh look at the bus for each

    auto found = FindPrinterInterface(backend());
    ASSERT_TRUE(found) << device.number;
    EXPECT_EQ(MatchSupportedDevice(found->instance), &device);
    EXPECT_EQ(found->location, printer.port_path() + ":1.0");
    EXPECT_EQ(found->instance,
              std::string(device.instance_prefix) + "\\SN" + std::to_string(device.number));
    EXPECT_TRUE(found->linked);
    printer.Unplug();
  }
}

TEST_F(UsbBackendTest, CompositeDeviceFourIsOnlyMatchedOnInterfaceZero) {
  EmulatedPrinterSpec spec;
  spec.product_id = 0x8802;
  spec.interface_count = 2;
  spec.printer_interfaces = {1};
  EmulatedPrinter& printer = Plug(spec);
  auto list = backend().Enumerate();
  ASSERT_THAT(list, SizeIs(1));
  EXPECT_EQ(list[0].instance, "USB\\VID_0A3C&PID_8802&MI_01\\SN0001");
  EXPECT_EQ(list[0].location, "1-1:1.1");
  EXPECT_FALSE(FindPrinterInterface(backend()));
  EXPECT_FALSE(printer.claimed());
}

TEST_F(UsbBackendTest, OtherPrintersAreListedButNeverTouched) {
  EmulatedPrinterSpec spec;
  spec.product_id = 0x7252;
  EmulatedPrinter& printer = Plug(spec);
  auto list = backend().Enumerate();
  ASSERT_THAT(list, SizeIs(1));
  EXPECT_FALSE(list[0].linked);
  EXPECT_EQ(list[0].reason, "not a supported printer");
  // Not opened, so no serial number was asked for: the port stands in for it.
  EXPECT_EQ(list[0].instance, "USB\\VID_0A3C&PID_7252\\1-1");
  EXPECT_FALSE(FindPrinterInterface(backend()));
  EXPECT_TRUE(printer.usblp_bound());
}

TEST_F(UsbBackendTest, PrinterWithoutSerialNumberIsNamedByItsPort) {
  EmulatedPrinterSpec spec;
  spec.serial = "";
  spec.port = 4;
  Plug(spec);
  auto found = FindPrinterInterface(backend());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->instance, "USB\\VID_0A3C&PID_7251\\1-4");
}

TEST_F(UsbBackendTest, OfTwoPrintersTheLastInTheBusOrderIsChosen) {
  EmulatedPrinterSpec first;
  first.port = 1;
  first.serial = "FIRST";
  EmulatedPrinterSpec second = first;
  second.port = 2;
  second.product_id = 0x8801;
  second.serial = "SECOND";
  Plug(first);
  Plug(second);
  auto list = backend().Enumerate();
  ASSERT_THAT(list, SizeIs(2));
  auto found = FindPrinterInterface(backend());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->location, list.back().location);
}

TEST_F(UsbBackendTest, PrinterPluggedInLaterIsFound) {
  backend();  // libusb is running before the printer arrives
  EXPECT_FALSE(FindPrinterInterface(backend()));
  Plug({});
  EXPECT_TRUE(FindPrinterInterface(backend()));
}

TEST_F(UsbBackendTest, BothPipesShareOneClaimAndUsblpIsGivenBackAtClose) {
  EmulatedPrinter& printer = Plug({});
  ASSERT_TRUE(printer.usblp_bound());
  auto [write, read] = OpenBoth();
  EXPECT_NE(write, read);
  EXPECT_TRUE(printer.claimed());
  EXPECT_FALSE(printer.usblp_bound());
  // While open, the printer is still listed as usable (our own claim does not make it busy).
  auto list = backend().Enumerate();
  ASSERT_THAT(list, SizeIs(1));
  EXPECT_TRUE(list[0].linked) << list[0].reason;

  EXPECT_TRUE(backend().Close(write));
  EXPECT_TRUE(printer.claimed());  // the read pipe still uses it
  printer.QueueReply(Bytes("ANSWER"));
  std::vector<uint8_t> buffer(128);
  EXPECT_TRUE(backend().Read(read, buffer, 1000).ok());
  EXPECT_TRUE(backend().Close(read));
  EXPECT_FALSE(printer.claimed());
  EXPECT_TRUE(printer.usblp_bound());
  EXPECT_FALSE(backend().Close(read));
  EXPECT_FALSE(backend().Close(12345));
}

TEST_F(UsbBackendTest, DriverThatWasNotBoundIsNotBoundAtClose) {
  EmulatedPrinterSpec spec;
  spec.usblp_bound = false;
  EmulatedPrinter& printer = Plug(spec);
  auto [write, read] = OpenBoth();
  backend().Close(read);
  backend().Close(write);
  EXPECT_FALSE(printer.usblp_bound());
  EXPECT_FALSE(printer.claimed());
}

TEST_F(UsbBackendTest, PrinterClaimedByAnotherProgramIsNotLinked) {
  EmulatedPrinterSpec spec;
  spec.usblp_bound = false;
  EmulatedPrinter& printer = Plug(spec);
  printer.set_claimed_elsewhere(true);
  auto list = backend().Enumerate();
  ASSERT_THAT(list, SizeIs(1));
  EXPECT_FALSE(list[0].linked);
  EXPECT_EQ(list[0].reason, "in use by another program");
  EXPECT_FALSE(backend().Open(list[0], PipeName::kWrite));

  printer.set_claimed_elsewhere(false);
  EXPECT_TRUE(FindPrinterInterface(backend()));
}

TEST_F(UsbBackendTest, ReadHandsBackAtMostWhatWasAskedFromOneTransfer) {
  EmulatedPrinter& printer = Plug({});
  auto [write, read] = OpenBoth();
  printer.QueueReply(Bytes("0123456789ABCDEF"));
  printer.QueueReply(Bytes("NEXT"));
  std::vector<uint8_t> small(8, 0xEE);
  TransferResult result = backend().Read(read, small, 1000);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.count, 8u);
  EXPECT_EQ(small, Bytes("01234567"));
  // The rest of that transfer is not carried over into the next read.
  std::vector<uint8_t> buffer(128);
  result = backend().Read(read, buffer, 1000);
  EXPECT_EQ(result.count, 4u);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 4), Bytes("NEXT"));
  // Pipes only work their own way.
  EXPECT_FALSE(backend().Read(write, buffer, 50).ok());
  EXPECT_FALSE(backend().Write(read, small, 50).ok());
}

TEST_F(UsbBackendTest, SilentPrinterTimesOutAndTheNextReplyIsNotLost) {
  EmulatedPrinter& printer = Plug({});
  auto [write, read] = OpenBoth();
  std::vector<uint8_t> buffer(128);
  TransferResult result = backend().Read(read, buffer, 50);
  EXPECT_EQ(result.status, TransferStatus::kTimeout);
  EXPECT_EQ(result.count, 0u);
  // The timed-out transfer was cancelled: a later reply goes to the later read.
  printer.QueueReply(Bytes("LATE"));
  result = backend().Read(read, buffer, 1000);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.count, 4u);
}

TEST_F(UsbBackendTest, LargeWriteArrivesWholeAcrossSeveralUrbs) {
  EmulatedPrinter& printer = Plug({});
  auto [write, read] = OpenBoth();
  std::vector<uint8_t> data(40'000);
  std::iota(data.begin(), data.end(), uint8_t{0});
  TransferResult result = backend().Write(write, data, Edition::kWriteWaitMs);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.count, data.size());
  EXPECT_EQ(printer.received(), data);
  EXPECT_GT(printer.out_transfer_sizes().size(), 1u);
}

TEST_F(UsbBackendTest, UnplugDuringAReadFailsItAndEveryLaterTransfer) {
  EmulatedPrinter& printer = Plug({});
  auto [write, read] = OpenBoth();
  std::thread puller([&] {
    if (printer.WaitForPendingRead(std::chrono::seconds(5))) printer.Unplug();
  });
  std::vector<uint8_t> buffer(128);
  const auto start = std::chrono::steady_clock::now();
  TransferResult result = backend().Read(read, buffer, 5000);
  puller.join();
  EXPECT_EQ(result.status, TransferStatus::kError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(backend().Write(write, Bytes("12345678"), 1000).status, TransferStatus::kError);
  EXPECT_TRUE(backend().Close(write));
  EXPECT_TRUE(backend().Close(read));
  EXPECT_FALSE(FindPrinterInterface(backend()));
}

TEST_F(UsbBackendTest, StopCancelsThePendingReadAtOnceAndRefusesTransfersUntilResumed) {
  EmulatedPrinter& printer = Plug({});
  auto [write, read] = OpenBoth();
  std::thread stopper([&] {
    if (printer.WaitForPendingRead(std::chrono::seconds(5))) backend().StopTransfers();
  });
  std::vector<uint8_t> buffer(128);
  const auto start = std::chrono::steady_clock::now();
  TransferResult result = backend().Read(read, buffer, 60'000);
  stopper.join();
  EXPECT_EQ(result.status, TransferStatus::kStopped);
  EXPECT_EQ(result.count, 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));

  EXPECT_EQ(backend().Write(write, Bytes("12345678"), 1000).status, TransferStatus::kStopped);
  EXPECT_TRUE(printer.received().empty());
  backend().ResumeTransfers();
  // The cancelled transfer is gone: a later reply goes to the later read.
  printer.QueueReply(Bytes("LATE"));
  result = backend().Read(read, buffer, 1000);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.count, 4u);
  EXPECT_TRUE(backend().Write(write, Bytes("12345678"), 1000).ok());
  EXPECT_EQ(printer.received(), Bytes("12345678"));
}

}  // namespace
}  // namespace tarvo
