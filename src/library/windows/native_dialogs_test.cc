// A host program's view of the library's dialogs on Windows: with no TARVO_OPERATOR named,
// Fennick.dll shows them as native windows on the host's calling thread. The robot answers them
// from inside their own message loops as a person would; the transcript tells what the library
// saw.
#include <gmock/gmock.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "win32ui/window_robot_test.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace tarvo::win32ui::testing;

// An export found by name, as the type it is called with.
template <typename Call>
Call Export(HMODULE dll, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

std::vector<std::string> Lines(const char* path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(FennickDll, WithoutAnOperatorNamedTheDialogsAreWindowsOfTheHostsThread) {
  _putenv("TARVO_OPERATOR=");
  const char* transcript = std::getenv("TARVO_TRANSCRIPT");
  ASSERT_NE(transcript, nullptr);
  DeleteFileA(transcript);  // a transcript of an earlier run
  HMODULE dll = LoadLibraryA(FENNICK_DLL);
  ASSERT_NE(dll, nullptr);
  using ByteCall = unsigned char(__stdcall*)();
  using IntCall = int32_t(__stdcall*)();
  using VoidCall = void(__stdcall*)();
  auto handle_open = Export<ByteCall>(dll, "HandleOpen");
  auto handle_close = Export<IntCall>(dll, "HandleClose");
  auto set_charge = Export<VoidCall>(dll, "SetCharge");
  ASSERT_TRUE(handle_open && handle_close && set_charge);

  ASSERT_EQ(handle_open(), 1);
  std::vector<std::wstring> refused, told;
  Robot robot;
  robot
      .When(L"Charge",
            [](HWND dlg) {
              Type(dlg, 1182, L"5");
              Click(dlg, IDOK);
            })
      .When(L"Set Charge",
            [&](HWND box) {
              refused = StaticTexts(box);
              Click(box, IDOK);
            })
      .When(L"Charge",
            [](HWND dlg) {
              Type(dlg, 1182, L"1");
              Click(dlg, IDOK);
            })
      .When(L"Charge", [&](HWND box) {
        told = StaticTexts(box);
        Click(box, IDOK);
      });
  set_charge();
  EXPECT_TRUE(robot.done()) << "a window never came";
  EXPECT_EQ(handle_close(), 1);
  FreeLibrary(dll);

  EXPECT_THAT(refused, ElementsAre(L"Error Value !!"));
  EXPECT_THAT(told, ElementsAre(L"Set Charge Flag Success !!"));
  // The printer is listed from the second attempt on: the connection's wait window, in the
  // library's own words, stands through the retry. Then the dialog as answered.
  EXPECT_THAT(Lines(transcript),
              ElementsAreArray(std::vector<std::string>{
                  "window Connect: 連線中....請稍等 !!", "wait 1000 ms", "window closed",
                  "dialog 194 Charge", "< set Charge=5", "< ok",
                  "refused Set Charge: Error Value !!", "< set Charge=1", "< ok", "closed OK",
                  "message Charge: Set Charge Flag Success !!", "< ok"}));
}

}  // namespace
