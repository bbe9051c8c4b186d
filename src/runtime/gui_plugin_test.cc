#include "runtime/gui_plugin.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "win32ui/win32_operator.h"
#include "win32ui/window_clock.h"
#endif

namespace tarvo::runtime {
namespace {

#ifdef _WIN32
// Without TARVO_OPERATOR the library shows its dialogs in Windows' own windows: no plugin, no
// display variable to look for.
TEST(GuiParts, OnWindowsTheDialogsAreNativeWindowsAndWaitsKeepThemPainted) {
  EXPECT_TRUE(DisplayAvailable());
  NullLineSink transcript;
  StopRequest stop;
  std::string error;
  std::optional<GuiParts> parts = LoadGuiParts(kLibraryEdition, transcript, &stop, &error);
  ASSERT_TRUE(parts.has_value()) << error;
  EXPECT_NE(dynamic_cast<win32ui::Win32Operator*>(parts->op.get()), nullptr);
  EXPECT_NE(dynamic_cast<win32ui::WindowClock*>(parts->clock.get()), nullptr);
  // The stop request given reaches the operator: no question is asked once it is made.
  stop.Request();
  EXPECT_THROW(parts->op->Show({"x", "y", Icon::kError, Buttons::kOk}), OperationStopped);
}
#endif

}  // namespace
}  // namespace tarvo::runtime
