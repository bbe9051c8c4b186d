// The settings store's file: whatever the file holds, a value written reads back with its width,
// every other value that could be read before reads the same after, and the next store to open the
// file sees the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/settings_store.h"

namespace {

namespace fs = std::filesystem;

// A folder of this process's own, on tmpfs where there is one: every run writes the file.
fs::path Folder() {
  static const fs::path dir = [] {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path d = base / ("tarvo-fuzz-settings-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvo;
  const fs::path file = Folder() / "settings.json";
  fs::remove(fs::path(file.string() + ".corrupt"));
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  FileSettingsStore store(file, [](const std::string&) {});
  const auto before = store.Read(kSelectPrinterKey, "MS2");
  const auto program = store.Read(kProgramKey, "Port");
  // The value written comes from the input too, so its width and bytes vary.
  std::vector<uint8_t> value(data, data + std::min<size_t>(size, 5));
  if (!store.Write(kSelectPrinterKey, "MS1", value)) std::abort();
  FileSettingsStore reader(file, [](const std::string&) {});
  for (SettingsStore* s :
       {static_cast<SettingsStore*>(&store), static_cast<SettingsStore*>(&reader)}) {
    if (s->Read(kSelectPrinterKey, "MS1") != value) std::abort();
    if (s->Read(kSelectPrinterKey, "MS2") != before) std::abort();
    if (s->Read(kProgramKey, "Port") != program) std::abort();
  }
  return 0;
}
