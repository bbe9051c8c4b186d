#include "usb/usb_interfaces.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <vector>

namespace tarvo {
namespace {

libusb_endpoint_descriptor Bulk(uint8_t address, uint16_t max_packet) {
  libusb_endpoint_descriptor ep{};
  ep.bEndpointAddress = address;
  ep.bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
  ep.wMaxPacketSize = max_packet;
  return ep;
}

TEST(UsbInterfacesTest, PrinterInterfaceNeedsBothBulkPipes) {
  // Interface 0: a vendor interface. Interface 1: a printer whose first setting only prints
  // (no IN pipe) and whose second one also answers.
  std::vector<libusb_endpoint_descriptor> out_only = {Bulk(0x01, 64)};
  std::vector<libusb_endpoint_descriptor> both = {Bulk(0x83, 64), Bulk(0x03, 64)};
  libusb_interface_descriptor vendor{};
  vendor.bInterfaceNumber = 0;
  vendor.bInterfaceClass = 0xFF;
  vendor.bNumEndpoints = 2;
  vendor.endpoint = both.data();
  libusb_interface_descriptor alts[2] = {};
  alts[0].bInterfaceNumber = 1;
  alts[0].bInterfaceClass = 7;
  alts[0].bNumEndpoints = 1;
  alts[0].endpoint = out_only.data();
  alts[1] = alts[0];
  alts[1].bAlternateSetting = 1;
  alts[1].bNumEndpoints = 2;
  alts[1].endpoint = both.data();
  libusb_interface interfaces[2] = {};
  interfaces[0].altsetting = &vendor;
  interfaces[0].num_altsetting = 1;
  interfaces[1].altsetting = alts;
  interfaces[1].num_altsetting = 2;
  libusb_config_descriptor config{};
  config.bNumInterfaces = 2;
  config.interface = interfaces;

  auto found = FindPrinterEndpoints(config);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].interface_number, 1);
  EXPECT_EQ(found[0].alt_setting, 1);
  EXPECT_EQ(found[0].out_endpoint, 0x03);
  EXPECT_EQ(found[0].in_endpoint, 0x83);
  EXPECT_EQ(found[0].in_max_packet, 64);

  interfaces[1].num_altsetting = 1;  // the printing-only setting alone is of no use
  EXPECT_TRUE(FindPrinterEndpoints(config).empty());
}

TEST(UsbInterfacesTest, ReadsCoverWholePacketsSoNoPacketOverflows) {
  EXPECT_EQ(ReadTransferSize(128, 512), 512u);
  EXPECT_EQ(ReadTransferSize(8, 64), 64u);
  EXPECT_EQ(ReadTransferSize(128, 64), 128u);
  EXPECT_EQ(ReadTransferSize(129, 64), 192u);
  EXPECT_EQ(ReadTransferSize(0, 64), 64u);
  EXPECT_EQ(ReadTransferSize(10, 0), 10u);
}

TEST(UsbInterfacesTest, NamesAndLimits) {
  const uint8_t ports[] = {2, 3};
  EXPECT_EQ(PortPath(1, ports), "1-2.3");
  EXPECT_EQ(PortPath(4, {}), "usb4");
  EXPECT_EQ(InterfaceLocation("1-2.3", 1, 0), "1-2.3:1.0");
  EXPECT_TRUE(IsSupportedIdentity(0x0B7D, 0x080C));
  EXPECT_FALSE(IsSupportedIdentity(0x0B7D, 0x080D));
  // libusb takes 0 as "wait for ever"; a zero wait must not hang the tool.
  EXPECT_EQ(TransferTimeout(0), 1u);
  EXPECT_EQ(TransferTimeout(9'000'000), 9'000'000u);
  EXPECT_NE(UnusableReason(LIBUSB_ERROR_ACCESS).find("udev rule"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
