// The printer link driven over the real libusb backend and emulated printers: what the device
// layer sees when a printer is plugged in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "operators/recording_operator.h"
#include "link/printer_link.h"
#include "usb/testing/emulated_bus.h"

namespace tarvo {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using testing::EmulatedPrinter;
using testing::EmulatedPrinterSpec;
using ::testing::Le;

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

struct UsbLinkTest : testing::EmulatedBusTest {
  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  Context ctx{kProgramEdition, clock, op, settings, wire};
};

TEST_F(UsbLinkTest, CommandPacketArrivesByteForByteAndTheReplyComesBack) {
  EmulatedPrinter& printer = Plug({});
  PrinterLink link(ctx, backend());
  ASSERT_TRUE(link.HandleOpen());
  const std::vector<uint8_t> packet = {0x1C, 0x81, 0x00, 0x00, 0x29, 0x00, 0x00, 0xAA};
  ASSERT_TRUE(link.TimedWrite(packet));
  EXPECT_EQ(printer.received(), packet);
  EXPECT_THAT(printer.out_transfer_sizes(), ElementsAre(8u));

  printer.QueueReply({0x1C, 0x81, 0x00, 0x00, 0x29, 0x00, 0x00, 0xAA});
  std::vector<uint8_t> answer(8);
  ASSERT_TRUE(link.ReadReply(answer));
  EXPECT_EQ(answer, packet);
  EXPECT_TRUE(link.HandleClose());
  EXPECT_TRUE(printer.usblp_bound());
}

TEST_F(UsbLinkTest, ReadReplySkipsStatusFramesSentByThePrinter) {
  EmulatedPrinter& printer = Plug({});
  PrinterLink link(ctx, backend());
  ASSERT_TRUE(link.HandleOpen());
  printer.QueueReply(Bytes("ST:IDLE;"));
  printer.QueueReply(Bytes("@BDC ST2"));
  std::vector<uint8_t> block(41);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(0xA0 + i);
  printer.QueueReply(block);
  std::vector<uint8_t> dest(41);
  ASSERT_TRUE(link.ReadReply(dest));
  EXPECT_EQ(dest, block);
  EXPECT_EQ(clock.sleeps(), (std::vector<int64_t>{500, 500}));  // one pause per frame
}

TEST_F(UsbLinkTest, PrintFileArrivesIntactInPieces) {
  EmulatedPrinter& printer = Plug({});
  PrinterLink link(ctx, backend());
  ASSERT_TRUE(link.HandleOpen());
  std::vector<uint8_t> file(100'000);
  uint32_t x = 12345;
  for (auto& b : file) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 24);
  }
  constexpr size_t kPiece = 4096;
  for (size_t at = 0; at < file.size(); at += kPiece) {
    const size_t n = std::min(kPiece, file.size() - at);
    ASSERT_TRUE(link.TimedWrite(std::span(file).subspan(at, n))) << at;
  }
  EXPECT_EQ(printer.received(), file);
  EXPECT_EQ(printer.out_transfer_sizes().size(), 25u);
  EXPECT_THAT(printer.out_transfer_sizes(), Each(Le(kPiece)));
}

TEST_F(UsbLinkTest, UnpluggedPrinterFailsTheLinkAndTheNextOpenFindsTheOtherOne) {
  EmulatedPrinterSpec first;
  first.port = 1;
  EmulatedPrinter& gone = Plug(first);
  PrinterLink link(ctx, backend());
  ASSERT_TRUE(link.HandleOpen());

  std::thread puller([&] {
    if (gone.WaitForPendingRead(std::chrono::seconds(5))) gone.Unplug();
  });
  std::vector<uint8_t> dest(8, 0xEE);
  EXPECT_FALSE(link.ReadReply(dest));
  puller.join();
  EXPECT_EQ(dest, std::vector<uint8_t>(8, 0xEE));
  EXPECT_FALSE(link.TimedWrite(Bytes("12345678")));

  // The station's next step plugs in another printer and opens the link again.
  EmulatedPrinterSpec second;
  second.port = 2;
  second.product_id = 0x8801;
  EmulatedPrinter& replacement = Plug(second);
  ASSERT_TRUE(link.HandleOpen());
  ASSERT_TRUE(link.TimedWrite(Bytes("12345678")));
  EXPECT_EQ(replacement.received(), Bytes("12345678"));
  EXPECT_TRUE(op.messages().empty());
}

TEST_F(UsbLinkTest, NoPrinterMeansOffLineAfterTheRetries) {
  EmulatedPrinterSpec other;
  other.product_id = 0x1234;
  Plug(other);
  PrinterLink link(ctx, backend());
  EXPECT_FALSE(link.HandleOpen());
  EXPECT_EQ(clock.sleeps(), std::vector<int64_t>(10, 1000));
  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_EQ(op.messages()[0].text, "Print Off line !!");
}

}  // namespace
}  // namespace tarvo
