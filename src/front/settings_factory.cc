#include "front/settings_factory.h"

#include <cstdlib>

#ifdef TARVO_HAVE_WIN32
#include "win32/registry_settings_store.h"
#endif

namespace tarvo::front {

std::unique_ptr<SettingsStore> MakeSettingsStore(FileSettingsStore::ProblemSink report) {
#ifdef TARVO_HAVE_WIN32
  const char* dir = std::getenv("TARVO_CONFIG_DIR");
  if (!dir || !*dir) return std::make_unique<win32::RegistrySettingsStore>();
#endif
  return std::make_unique<FileSettingsStore>(FileSettingsStore::DefaultPath(), std::move(report));
}

}  // namespace tarvo::front
