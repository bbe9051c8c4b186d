#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/settings_store.h"

namespace tarvo::runtime {

// The machine-wide settings store of a front end. On Windows the registry, as the station has
// always kept them, unless TARVO_CONFIG_DIR names a folder for settings.json; elsewhere
// FileSettingsStore::DefaultPath(). Problems with the file go to `report` (default: stderr).
std::unique_ptr<SettingsStore> MakeSettingsStore(FileSettingsStore::ProblemSink report = {});

// A settings store whose problems are told once the call that met them has returned: never while
// the store holds its lock, which every process of the station shares, so that a message box that
// waits for the person holds up no other writer.
class ToldSettingsStore : public SettingsStore {
 public:
  using Tell = std::function<void(const std::string&)>;

  // `make` builds the store with the problem sink it is handed.
  ToldSettingsStore(
      const std::function<std::unique_ptr<SettingsStore>(FileSettingsStore::ProblemSink)>& make,
      Tell tell);

  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override;
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override;
  bool Update(const Change& change) override;

 private:
  void TellHeldBack();

  Tell tell_;
  std::vector<std::string> held_back_;
  std::unique_ptr<SettingsStore> store_;
};

}  // namespace tarvo::runtime
