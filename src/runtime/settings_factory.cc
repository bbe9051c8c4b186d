#include "runtime/settings_factory.h"

#include <cstdlib>

#ifdef TARVO_HAVE_WIN32
#include "win32/registry_settings_store.h"
#endif

namespace tarvo::runtime {

std::unique_ptr<SettingsStore> MakeSettingsStore(FileSettingsStore::ProblemSink report) {
#ifdef TARVO_HAVE_WIN32
  const char* dir = std::getenv("TARVO_CONFIG_DIR");
  if (!dir || !*dir) return std::make_unique<win32::RegistrySettingsStore>();
#endif
  return std::make_unique<FileSettingsStore>(FileSettingsStore::DefaultPath(), std::move(report));
}

ToldSettingsStore::ToldSettingsStore(
    const std::function<std::unique_ptr<SettingsStore>(FileSettingsStore::ProblemSink)>& make,
    Tell tell)
    : tell_(std::move(tell)),
      store_(make([this](const std::string& problem) { held_back_.push_back(problem); })) {}

void ToldSettingsStore::TellHeldBack() {
  std::vector<std::string> problems;
  problems.swap(held_back_);
  for (const std::string& problem : problems) tell_(problem);
}

std::optional<std::vector<uint8_t>> ToldSettingsStore::Read(std::string_view key,
                                                            std::string_view name) {
  auto value = store_->Read(key, name);
  TellHeldBack();
  return value;
}

bool ToldSettingsStore::Write(std::string_view key, std::string_view name,
                              std::span<const uint8_t> value) {
  const bool ok = store_->Write(key, name, value);
  TellHeldBack();
  return ok;
}

bool ToldSettingsStore::Update(const Change& change) {
  const bool ok = store_->Update(change);
  TellHeldBack();
  return ok;
}

}  // namespace tarvo::runtime
