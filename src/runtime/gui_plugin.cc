#include "runtime/gui_plugin.h"

#ifdef _WIN32
#include "win32ui/win32_operator.h"
#include "win32ui/window_clock.h"
#else
#include <dlfcn.h>
#endif

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace tarvo::runtime {

#ifdef _WIN32
// Windows shows the dialogs in its own windows, which every session's desktop has: no plugin to
// load, the operator and clock are those of src/win32ui.
bool DisplayAvailable() {
  return true;
}

std::optional<GuiParts> LoadGuiParts(const Edition& edition, LineSink& transcript,
                                     StopRequest* stop, std::string*) {
  auto op = std::make_unique<win32ui::Win32Operator>(edition, transcript);
  op->set_stop(stop);
  GuiParts parts;
  parts.op = {op.release(), [](Operator* o) { delete o; }};
  parts.clock = {new win32ui::WindowClock, [](Clock* c) { delete c; }};
  return parts;
}

#else
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

std::filesystem::path PluginPath() {
  if (Set("TARVO_GUI_PLUGIN")) return std::getenv("TARVO_GUI_PLUGIN");
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DisplayAvailable), &info) && info.dli_fname) {
    return std::filesystem::path(info.dli_fname).parent_path() / "fennick" / kGuiPluginFile;
  }
  return kGuiPluginFile;
}

const GuiPlugin* Load(std::string* error) {
  static std::mutex mutex;
  static const GuiPlugin* plugin = nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (plugin) return plugin;
  const std::filesystem::path path = PluginPath();
  // Kept loaded for the life of the process: its operator and Qt itself may outlive any caller.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    *error = "cannot load the window plugin " + path.string() + ": " + (why ? why : "unknown");
    return nullptr;
  }
  using Entry = const GuiPlugin* (*)();
  void* symbol = dlsym(handle, kGuiPluginEntry);
  Entry entry = nullptr;
  static_assert(sizeof symbol == sizeof entry);
  std::memcpy(&entry, &symbol, sizeof entry);
  const GuiPlugin* table = entry ? entry() : nullptr;
  if (!table || table->version != GuiPlugin::kVersion) {
    *error = "the window plugin " + path.string() + " does not fit this library";
    return nullptr;
  }
  plugin = table;
  return plugin;
}

}  // namespace

bool DisplayAvailable() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

std::optional<GuiParts> LoadGuiParts(const Edition& edition, LineSink& transcript,
                                     StopRequest* stop, std::string* error) {
  const GuiPlugin* plugin = Load(error);
  if (!plugin) return std::nullopt;
  GuiParts parts;
  Operator* op = plugin->make_operator(&edition, &transcript, stop, error);
  if (!op) return std::nullopt;
  parts.op = {op, plugin->destroy_operator};
  parts.clock = {plugin->make_clock(), plugin->destroy_clock};
  return parts;
}

#endif

}  // namespace tarvo::runtime
