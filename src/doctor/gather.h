#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "doctor/facts.h"
#include "link/link_backend.h"

namespace tarvo::doctor {

// Where the udev rule may be installed: by hand or by the install script, and by a package.
std::vector<std::string> DefaultUdevRuleDirs();

struct GatherOptions {
  // Whose Survey() looks at the bus; nullptr: a USB backend of the gathering's own, opened and
  // closed by it. Either way no pipe of it may be open.
  LinkBackend* bus = nullptr;
  // The account to check for, by name; empty: the process's own. For another account the device
  // nodes and files are judged by their owner, group and mode alone.
  std::string user;
  std::filesystem::path station_dir;
  // Read for the line database's URL.
  SettingsStore* settings = nullptr;
  std::vector<std::string> udev_rule_dirs = DefaultUdevRuleDirs();
};

// The facts of this system. Blocks: the look at the bus opens each supported printer briefly,
// and the line database, when one is configured, is connected to (its connect time limit, 3 s
// unless the URL sets one). Call it from the thread that owns `bus`, with no pipe open. Nothing,
// with *error set, when options.user names no account.
std::optional<Facts> Gather(const GatherOptions& options, std::string* error);

}  // namespace tarvo::doctor
