// The binding of the exports: lookup by name, library-wide state at load, pointers the host
// gets wrong, operators that cannot answer, environments that name nothing usable.
#include <gmock/gmock.h>

#include "library_host_test.h"

namespace fennick_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using BindingTest = LibraryTest;

TEST_F(BindingTest, LoadingTouchesNeitherPrinterNorSettings) {
  Api& api = Load();
  api.SetDLLVersion("B123");
  EXPECT_FALSE(fs::exists(dir_ / "printer.json"));
  EXPECT_FALSE(fs::exists(dir_ / "settings.json"));
  // The ports are built at the first export that needs them, not before.
  EXPECT_FALSE(fs::exists(dir_ / "wire.log"));
  EXPECT_FALSE(fs::exists(dir_ / "transcript"));
}

TEST_F(BindingTest, HandleCloseWithoutOpenReturnsZero) {
  Api& api = Load();
  EXPECT_EQ(api.HandleClose(), 0);
  EXPECT_EQ(api.HandleOpen(), 1);
  EXPECT_NE(api.HandleClose(), 0);
  EXPECT_EQ(api.HandleClose(), 0);
}

TEST_F(BindingTest, NullPointersAreRefusedWithoutTouchingThePrinter) {
  Api& api = LoadOpen();
  uint8_t block[44] = {}, label[24] = {};
  EXPECT_EQ(api.ReadData(nullptr, block), 1);
  EXPECT_EQ(api.SetHeadID(nullptr), 2);
  EXPECT_EQ(api.TOF(nullptr, block, label), 2);
  EXPECT_EQ(api.TOF(block, nullptr, label), 2);
  EXPECT_EQ(api.TOF(block, block, nullptr), 2);
  EXPECT_EQ(api.BiAdjust(block, block, nullptr, 0), 2);
  EXPECT_EQ(api.DumpTransferROMData(nullptr), 0);
  EXPECT_EQ(api.ReadRamFWPtr(nullptr), 0);
  EXPECT_EQ(api.MELoadFilePtr(nullptr, 5), 0);
  api.NozzleClean(nullptr, 1);
  api.PrintChart(FennickHead44{}, nullptr, 5);
  api.SetDLLVersion(nullptr);
  EXPECT_THAT(Traffic(), IsEmpty());
  EXPECT_THAT(Transcript(), IsEmpty());
}

TEST_F(BindingTest, ScriptThatRunsOutEndsTheExportNotTheHost) {
  SeedEeprom(SampleImage());
  Api& api = LoadOpen();
  uint8_t block[41];
  std::memset(block, 0x5A, sizeof block);
  // No answer for the head ID dialog: the export fails, the host's block stays as it was.
  EXPECT_EQ(api.SetHeadID(block), 2);
  for (uint8_t b : block) ASSERT_EQ(b, 0x5A);
  EXPECT_THAT(Transcript(), Contains(HasSubstr("aborted")));
  EXPECT_FALSE(EepromWritten());
  // The library goes on serving the host.
  EXPECT_EQ(api.ReadTemperatureBegin(), 25);
  EXPECT_NE(api.HandleClose(), 0);
}

TEST_F(BindingTest, UnusableEnvironmentFailsEachExportUntilItIsMended) {
  Api& api = Load();
  fs::remove(dir_ / "operator.script");
  EXPECT_EQ(api.HandleOpen(), 0);
  EXPECT_EQ(api.ReadTemperatureBegin(), -1);
  EXPECT_EQ(api.InkDisCharge(0), 0);
  api.Lubrication();
  Script("");
  EXPECT_EQ(api.HandleOpen(), 1);
}

TEST_F(BindingTest, UnknownPrinterNameFailsTheExport) {
  Api& api = Load();
  setenv("TARVO_PRINTER", "parallel-port", 1);
  EXPECT_EQ(api.HandleOpen(), 0);
  EXPECT_EQ(api.HandleClose(), 0);
  EXPECT_FALSE(fs::exists(dir_ / "wire.log"));
}

TEST_F(BindingTest, UnusableEnvironmentIsToldOnceWhileItStaysTheSame) {
  Api& api = Load();
  setenv("TARVO_PRINTER", "parallel-port", 1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(api.HandleOpen(), 0);
  EXPECT_EQ(api.ReadTemperatureBegin(), -1);
  api.Lubrication();
  std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  EXPECT_THAT(told, HasSubstr("fennick: TARVO_PRINTER: unknown printer"));

  // Another problem is news, and told; a state file that cannot be written is one.
  setenv("TARVO_PRINTER", ("sim:" + (dir_ / "missing" / "p.json").string()).c_str(), 1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(api.HandleOpen(), 0);
  EXPECT_EQ(api.HandleOpen(), 0);
  told = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  EXPECT_THAT(told, HasSubstr("cannot be written"));
}

TEST_F(BindingTest, EveryExportWithoutOpenLinkFailsItsFirstTransfer) {
  SeedEeprom(SampleImage());
  Script("ok\nok\nok\nok\nok\nok\nok\nok\nok\nok\nok\nok\n");
  Api& api = Load();
  uint8_t block[44] = {}, read_back[44] = {}, label[24] = {}, record[77] = {};
  uint32_t value = 0xDEADBEEF;
  EXPECT_EQ(api.ReadRamFWPtr(&value), 0);
  EXPECT_EQ(value, 0xDEADBEEFu);
  EXPECT_EQ(api.DumpTransferROMData(record), 0);
  EXPECT_EQ(api.SetInkSystemValue(), 0);
  EXPECT_EQ(api.ReadData(block, nullptr), 1);
  for (uint8_t b : block) ASSERT_EQ(b, 0);
  EXPECT_NE(api.PowerOff(1), 0);
  EXPECT_THAT(Traffic(), IsEmpty());
  EXPECT_THAT(Messages(), Contains(HasSubstr("WriteFileX: ")));
  (void)read_back;
  (void)label;
}

TEST_F(BindingTest, NoOperatorAndNoDisplayFailsTheExportWithAClearMessage) {
  Api& api = Load();
  unsetenv("TARVO_OPERATOR");
  for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(display);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(api.HandleOpen(), 0);
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(told, HasSubstr("TARVO_OPERATOR is not set and there is no display"));
  EXPECT_THAT(Traffic(), IsEmpty());
}

TEST_F(BindingTest, AMissingWindowPluginFailsTheExportWithAClearMessage) {
  Api& api = Load();
  unsetenv("TARVO_OPERATOR");
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("TARVO_GUI_PLUGIN", (dir_ / "no-such-plugin.so").c_str(), 1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(api.HandleOpen(), 0);
  const std::string told = ::testing::internal::GetCapturedStderr();
  unsetenv("TARVO_GUI_PLUGIN");
  EXPECT_THAT(told, HasSubstr("cannot load the window plugin"));
}

}  // namespace
}  // namespace fennick_test
