#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/edition.h"
#include "base/line_sink.h"
#include "base/operator.h"
#include "base/stop_request.h"

namespace tarvo::runtime {

// The window toolkit's operator, for a front end that must load without it (libfennick): a
// plugin library, loaded at the first need, hands out an operator that shows the dialogs in
// windows and a clock whose waits keep those windows painted. Both sides are built from this
// tree by the same compiler; the table below is all they share.
struct GuiPlugin {
  static constexpr int kVersion = 1;
  int version = kVersion;
  // An operator for `edition` writing to `transcript`; questions end with OperationStopped once
  // `stop` (may be null) is made. Nothing, with `error` filled, when no window can be shown.
  Operator* (*make_operator)(const Edition* edition, LineSink* transcript, StopRequest* stop,
                             std::string* error);
  void (*destroy_operator)(Operator* op);
  // A real clock whose waits on the window thread go on serving that thread's windows.
  Clock* (*make_clock)();
  void (*destroy_clock)(Clock* clock);
};

// The name the plugin exports its table under: extern "C" const GuiPlugin* <name>().
inline constexpr const char* kGuiPluginEntry = "tarvo_gui_plugin";
// The plugin's file, looked for in the folder "fennick" beside the library.
inline constexpr const char* kGuiPluginFile = "libfennick-qt.so";

// True when a window can be shown: a display (DISPLAY, WAYLAND_DISPLAY) or a Qt platform chosen
// explicitly (QT_QPA_PLATFORM, e.g. "offscreen"); always on Windows.
bool DisplayAvailable();

// The plugin's operator and clock, released through the plugin.
struct GuiParts {
  std::unique_ptr<Operator, void (*)(Operator*)> op{nullptr, nullptr};
  std::unique_ptr<Clock, void (*)(Clock*)> clock{nullptr, nullptr};
};

// Loads the plugin (the file named by TARVO_GUI_PLUGIN, else kGuiPluginFile in the folder
// "fennick" beside the module holding this code) once per process and makes its operator and
// clock. Nothing, with *error set, when it cannot be loaded or cannot show windows.
// On Windows no plugin is loaded: the parts are the native windows' operator and clock
// (win32ui::Win32Operator, win32ui::WindowClock), released as they were made.
std::optional<GuiParts> LoadGuiParts(const Edition& edition, LineSink& transcript,
                                     StopRequest* stop, std::string* error);

}  // namespace tarvo::runtime
