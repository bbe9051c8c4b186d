#include "charts/header_page.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/rom_layout.h"

namespace tarvo {
namespace {

HeaderInputs Example(int layout) {
  HeaderInputs in;
  std::memcpy(in.head.data(), "031", 3);
  std::memcpy(in.head.data() + 3, "ABCDE0404070905030", 18);
  std::memcpy(in.head.data() + kHeadIdOffset, "AB12CD", 6);
  in.head[kMs1AdjustOffset] = static_cast<uint8_t>(-10);
  in.head[kMs2AdjustOffset] = 5;
  in.head[kVsdAdjustOffset] = static_cast<uint8_t>(-11);
  in.head[kEcnAdjustOffset] = static_cast<uint8_t>(-4);
  in.head[kTofAdjustOffset] = 2;
  std::memcpy(in.chart_label.jig_no.data(), "CT", 2);
  std::memcpy(in.chart_label.machine_no.data(), "12345", 5);
  in.chart_label.chart_prints = 3;      // prints
  in.chart_label.ink_charges = 1;       // ink charges
  in.chart_label.nozzle_cleanings = 0;  // cleanings
  in.layout = layout;
  in.time.tm_year = 2004 - 1900;
  in.time.tm_mon = 2;
  in.time.tm_mday = 7;
  in.time.tm_hour = 9;
  in.time.tm_min = 5;
  return in;
}

std::string Page(const Edition& edition, const HeaderInputs& in) {
  auto bytes = BuildHeaderPage(edition, in);
  return {bytes.begin(), bytes.end()};
}

TEST(HeaderPageTest, ProgramCompactPageByteForByte) {
  HeaderInputs in = Example(0);
  in.status = "25";
  EXPECT_EQ(Page(kProgramEdition, in),
            "\x1b@\x1bU\x01[No.12345][CT 03 01 00]  Program:0077  07-03-2004  09:05  ST=25\r\n"
            "MS1=-10 / MS2= 05 / VSD=-11 / ECN=-04 TOP Adjust=+050\r\n"
            "[031 ; EURO (WEST) ; TR-460] HeadID=AB12CD  USBID=ABCDE0404070905030");
}

TEST(HeaderPageTest, LibraryMultiLinePageByteForByte) {
  HeaderInputs in = Example(1);
  in.status = "252403";
  in.firmware = "0073";
  in.library_version = "A080";
  EXPECT_EQ(Page(kLibraryEdition, in),
            "\x1b@\x1bU\x01[No.12345][CT 03 01 00]\r\nFW/FT=0073/A080\r\n"
            "07-03-2004  09:05  ST=25\r\n"
            "MS1=-10 / MS2= 05 / VSD=-11 / ECN=-04\r\n"
            "TOP=+0 TCL=24/03\r\n"
            "[031 ; EURO (WEST) ; TR-460]\r\n"
            "HeadID=AB12CD  USBID=ABCDE0404070905030");
  in.firmware.reset();  // a failed version query prints nothing before the slash
  EXPECT_NE(Page(kLibraryEdition, in).find("FW/FT=/A080"), std::string::npos);
}

TEST(HeaderPageTest, FieldsOfZeroBytesPrintAsBlanksAndOddValuesAsTheyCome) {
  HeaderInputs in = Example(0);
  in.chart_label.machine_no.fill(0);
  in.status = TwoDigits(123);
  in.head[kTofAdjustOffset] = 0;
  std::string page = Page(kProgramEdition, in);
  EXPECT_NE(page.find("[No.     ][CT"), std::string::npos);
  EXPECT_NE(page.find("ST=<3"), std::string::npos);
  EXPECT_NE(page.find("TOP Adjust= 000"), std::string::npos);
  EXPECT_EQ(TwoDigits(7), "07");
  EXPECT_EQ(TwoDigits(-1), std::string("0/"));
}

TEST(HeaderPageTest, NegativeTofInBothEditions) {
  HeaderInputs in = Example(0);
  in.status = "25    ";
  in.head[kTofAdjustOffset] = static_cast<uint8_t>(-5);
  EXPECT_NE(Page(kProgramEdition, in).find("TOP Adjust=-125"), std::string::npos);
  EXPECT_NE(Page(kLibraryEdition, in).find("TOP=-1 TCL="), std::string::npos);
}

TEST(HeaderPageTest, DestinationIsChosenFromTheModelCode) {
  auto text = [](const char* code) {
    return DestinationLineText(std::span(reinterpret_cast<const uint8_t*>(code), 3));
  };
  EXPECT_EQ(text("031"), "031 ; EURO (WEST) ; TR-460");
  EXPECT_EQ(text("037"), "032 ; QUL 240V ; TR-460");
  EXPECT_EQ(text("047"), "");
  EXPECT_EQ(text("046"), "046 ; QHK Hong Kong; 220V; TR-420");
  EXPECT_EQ(text("009"), "001 ; QAI ; TR-460");
  EXPECT_EQ(text("0 9"), "");
  EXPECT_EQ(text("059"), "051 ; QCC China; 220V; TBD");
  EXPECT_EQ(text("079"), "");
  EXPECT_EQ(text("TBD"), "       ");
}

}  // namespace
}  // namespace tarvo
