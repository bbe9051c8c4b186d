#include "station/program_settings.h"

namespace tarvo::station {
namespace {

int Index(SettingsStore& store, std::string_view name, int buttons) {
  const auto value = store.ReadInt32(kProgramKey, name);
  return value && *value >= 0 && *value < buttons ? *value : 0;
}

}  // namespace

PortPipe ReadPortPipe(SettingsStore& store) {
  return {Index(store, "Port", 2), Index(store, "Pipe", 3)};
}

void WritePortPipe(SettingsStore& store, const PortPipe& values) {
  store.WriteInt32(kProgramKey, "Port", values.port);
  store.WriteInt32(kProgramKey, "Pipe", values.pipe);
}

}  // namespace tarvo::station
