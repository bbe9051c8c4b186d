#include "station/about_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace tarvo::station {
namespace {

using ::testing::ElementsAre;

TEST(AboutBox, WithoutAnIdentificationRecordOnlyTheLabelsAndSeparatorsShow) {
  PrinterIdRecord record{};
  AboutBox box = BuildAboutBox(record, {});
  EXPECT_THAT(box.Lines(), ElementsAre("Printer Name: ", "Firmware Version: .",
                                       "Firmware Issue Date: ..\xC3\xBF:", "User Name: ",
                                       "OS Version: ", "Computer Name: "));
  EXPECT_EQ(AboutBox::kFtVersion, "FT Version 0.0.7.5");
}

TEST(AboutBox, LinesFromARecordAndTheSystem) {
  PrinterIdRecord record{};
  std::memcpy(&record[16], "TR420", 5);  // a zero byte ends a shorter name
  std::memcpy(&record[24], "1234", 4);
  std::memcpy(&record[28], "200404070905", 12);
  record[22] = 'X';  // after the zero byte: not shown
  SystemFacts facts{"Debian GNU/Linux 12 (bookworm)", "line1", "station-2"};
  AboutBox box = BuildAboutBox(record, facts);
  EXPECT_THAT(box.Lines(),
              ElementsAre("Printer Name: TR420", "Firmware Version: 1.234",
                          "Firmware Issue Date: 2004.04.07\xC3\xBF"
                          "09:05",
                          "User Name: line1", "OS Version: Debian GNU/Linux 12 (bookworm)",
                          "Computer Name: station-2"));

  std::memcpy(&record[16], "ABCDEFGHIJ", 8);  // eight characters at most
  EXPECT_EQ(BuildAboutBox(record, facts).printer_name, "Printer Name: ABCDEFGH");
}

TEST(AboutBox, ReleaseNameFromOsRelease) {
  EXPECT_EQ(OsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                          "(bookworm)\"\nID=debian\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(OsReleaseName("ID=alpine\r\nNAME='Alpine Linux'\r\n"), "Alpine Linux");
  EXPECT_EQ(OsReleaseName("PRETTY_NAME=\"Say \\\"hi\\\"\"\n"), "Say \"hi\"");
  EXPECT_EQ(OsReleaseName("PRETTY_NAME=\nNAME=Plain\n"), "Plain");
  EXPECT_EQ(OsReleaseName("ID=x\n"), std::nullopt);
  std::string long_name = "PRETTY_NAME=" + std::string(200, 'a');
  EXPECT_EQ(OsReleaseName(long_name)->size(), 128u);
}

TEST(AboutBox, SystemFactsOfThisMachine) {
  SystemFacts facts = ReadSystemFacts();
  AboutBox box = BuildAboutBox(PrinterIdRecord{}, facts);
  // Whatever this machine holds, each line starts with its label and carries its value.
  EXPECT_EQ(box.computer_name, "Computer Name: " + facts.computer_name.value_or(""));
  EXPECT_TRUE(facts.computer_name.has_value());
  EXPECT_EQ(box.os_version.rfind("OS Version: ", 0), 0u);
}

}  // namespace
}  // namespace tarvo::station
