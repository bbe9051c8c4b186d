#pragma once

#include <memory>

#include "base/settings_store.h"

namespace tarvo::front {

// The machine-wide settings store of a front end. On Windows the registry, as the station has
// always kept them, unless TARVO_CONFIG_DIR names a folder for settings.json; elsewhere
// FileSettingsStore::DefaultPath(). Problems with the file go to `report` (default: stderr).
std::unique_ptr<SettingsStore> MakeSettingsStore(FileSettingsStore::ProblemSink report = {});

}  // namespace tarvo::front
