#include "front/gui_plugin.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace tarvo::front {

#ifdef _WIN32
// The Windows build has no Qt, so no plugin of Qt windows: the operator is named by
// TARVO_OPERATOR there.
bool DisplayAvailable() {
  return true;
}

std::optional<GuiParts> LoadGuiParts(const Edition&, LineSink&, StopRequest*, std::string* error) {
  *error = "this build of the library shows no windows";
  return std::nullopt;
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

}  // namespace tarvo::front
