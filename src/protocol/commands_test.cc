#include "protocol/commands.h"

#include <gmock/gmock.h>

#include "testing/sim_fixture.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;

using ProgramCommands = SimFixture;
using LibraryCommands = LibrarySimFixture;

// The value a read handed over, or nothing when it did not get one.
std::optional<std::string> FWVersion(const Context& ctx, PrinterLink& link) {
  std::string version;
  if (!ReadFWVersion(ctx, link, version).achieved()) return std::nullopt;
  return version;
}
int Temperature(const Context& ctx, PrinterLink& link) {
  int temperature = -1;
  ReadTemperature(ctx, link, temperature);
  return temperature;
}
int TemperatureBegin(const Context& ctx, PrinterLink& link) {
  int temperature = -1;
  ReadTemperatureBegin(ctx, link, temperature);
  return temperature;
}
std::optional<uint32_t> RamFWPtr(const Context& ctx, PrinterLink& link) {
  uint32_t value = 0;
  if (!ReadRamFWPtr(ctx, link, value).achieved()) return std::nullopt;
  return value;
}

TEST_F(ProgramCommands, FirmwareAndTemperatureQueriesArePrecededByThePreamble) {
  printer.set_firmware("B123");
  printer.set_temperature(37);
  EXPECT_EQ(FWVersion(ctx, link), "B123");
  EXPECT_EQ(Temperature(ctx, link), 37);
  EXPECT_THAT(Traffic(), ElementsAre("REMOTE ST 0", "F", "REMOTE ST 0", "T"));
  EXPECT_TRUE(op.messages().empty());
}

TEST_F(LibraryCommands, FirmwarePreambleFollowsTheCommandAndTemperatureHasNone) {
  printer.set_firmware("A080");
  printer.set_temperature(200);
  EXPECT_EQ(FWVersion(ctx, link), "A080");
  EXPECT_EQ(Temperature(ctx, link), 200);
  EXPECT_THAT(Traffic(), ElementsAre("F", "REMOTE ST 0", "T"));
}

TEST_F(LibraryCommands, TemperatureAnswerAfterStatusFrame) {
  printer.set_temperature(41);
  printer.faults().status_frames = 1;
  EXPECT_EQ(TemperatureBegin(ctx, link), 41);
  EXPECT_THAT(Traffic(), ElementsAre("J(0,0)", "T", "wait 500", "J(1,0)"));
}

TEST_F(LibraryCommands, RamFirmwareValueHasTheFirstCharacterLowest) {
  printer.set_firmware("B123");
  EXPECT_EQ(RamFWPtr(ctx, link), 0x33323142u);
  EXPECT_THAT(Traffic(), ElementsAre("F"));
}

TEST_F(LibraryCommands, RamFirmwareFailuresSpeakTheLibrarysWords) {
  printer.faults().silent = true;
  EXPECT_EQ(RamFWPtr(ctx, link), std::nullopt);
  printer.faults().fail_write_after = 0;
  EXPECT_EQ(RamFWPtr(ctx, link), std::nullopt);
  EXPECT_THAT(MessageTexts(), ElementsAre("ReadFileX: MELoadFile Command 讀取失敗!!",
                                          "WriteFileX: MELoadFile Command 寫入失敗!!"));
}

TEST_F(ProgramCommands, SilentPrinterFailsQueriesWithReadError) {
  printer.faults().silent = true;
  EXPECT_EQ(FWVersion(ctx, link), std::nullopt);
  EXPECT_EQ(Temperature(ctx, link), -1);
  EXPECT_THAT(MessageTexts(), ElementsAre("ReadFileX: Read MELoadFile Command Error !!",
                                          "ReadFileX: Read MELoadFile Command Error !!"));
  EXPECT_EQ(op.messages()[0].icon, Icon::kError);
}

TEST_F(ProgramCommands, FailedWritesAreToldAndSequencesGoOn) {
  printer.faults().fail_write_after = 0;
  EXPECT_EQ(Temperature(ctx, link), -1);  // preamble told, then the command
  EXPECT_FALSE(SendMotorCommand(ctx, link, M(0, 1, 6, 2, 6, 1)));
  EXPECT_FALSE(SendJobMark(ctx, link, 0, 0));
  EXPECT_EQ(op.messages().size(), 4u);
  for (const Message& m : op.messages()) {
    EXPECT_EQ(m.text, "Write MELoadFile Command Error !!");
    EXPECT_EQ(m.caption, "WriteFileX");
  }
}

TEST_F(ProgramCommands, MotorAndPowerOffCommandsReachThePrinter) {
  EXPECT_TRUE(SendMotorCommand(ctx, link, M(1, 1, 7, 150000, 6, 0)));
  EXPECT_TRUE(PowerOff(ctx, link, 1));
  EXPECT_THAT(Traffic(), ElementsAre("M(1,1,7,150000,6,1)", "p(1)"));
  EXPECT_FALSE(printer.powered());
}

}  // namespace
}  // namespace tarvo
