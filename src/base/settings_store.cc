#include "base/settings_store.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "base/atomic_file.h"
#include "base/file_ops.h"
#include "base/hex.h"

namespace tarvo {

namespace {

// The width a fixed-width read found instead of its own.
std::string Width(size_t size, size_t wanted) {
  return "holds " + std::to_string(size) + (size == 1 ? " byte" : " bytes") + ", not " +
         std::to_string(wanted);
}

}  // namespace

void SettingsStore::Unusable(std::string_view, std::string_view, const std::string&) {}

std::optional<int32_t> SettingsStore::ReadInt32(std::string_view key, std::string_view name) {
  auto bytes = Read(key, name);
  if (!bytes) return std::nullopt;
  if (bytes->size() != 4) {
    Unusable(key, name, Width(bytes->size(), 4));
    return std::nullopt;
  }
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | (*bytes)[static_cast<size_t>(i)];
  return static_cast<int32_t>(v);
}

std::optional<uint8_t> SettingsStore::ReadByte(std::string_view key, std::string_view name) {
  auto bytes = Read(key, name);
  if (!bytes) return std::nullopt;
  if (bytes->size() != 1) {
    Unusable(key, name, Width(bytes->size(), 1));
    return std::nullopt;
  }
  return (*bytes)[0];
}

bool SettingsStore::WriteInt32(std::string_view key, std::string_view name, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                      static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  return Write(key, name, bytes);
}

bool SettingsStore::WriteByte(std::string_view key, std::string_view name, uint8_t value) {
  return Write(key, name, std::span<const uint8_t>(&value, 1));
}

namespace {

// Reads through to `base` what was not written here; keeps the writes.
class Overlay : public SettingsStore {
 public:
  explicit Overlay(SettingsStore& base) : base_(base) {}
  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override {
    if (auto written = written_.Read(key, name)) return written;
    return base_.Read(key, name);
  }
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override {
    ++writes;
    return written_.Write(key, name, value);
  }
  void Unusable(std::string_view key, std::string_view name, const std::string& why) override {
    base_.Unusable(key, name, why);
  }
  const SettingsMap& written() const { return written_.values(); }
  int writes = 0;

 private:
  SettingsStore& base_;
  MemorySettingsStore written_;
};

}  // namespace

bool SettingsStore::Update(const Change& change) {
  Overlay overlay(*this);
  change(overlay);
  bool ok = true;
  for (const auto& [key, values] : overlay.written()) {
    for (const auto& [name, bytes] : values) ok = Write(key, name, bytes) && ok;
  }
  return ok;
}

bool MemorySettingsStore::Update(const Change& change) {
  change(*this);
  return true;
}

std::optional<std::vector<uint8_t>> MemorySettingsStore::Read(std::string_view key,
                                                              std::string_view name) {
  auto k = keys_.find(key);
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(std::string(name));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

bool MemorySettingsStore::Write(std::string_view key, std::string_view name,
                                std::span<const uint8_t> value) {
  keys_[std::string(key)][std::string(name)].assign(value.begin(), value.end());
  return true;
}

FileSettingsStore::FileSettingsStore(std::filesystem::path file, ProblemSink report)
    : file_(std::move(file)), report_(std::move(report)) {}

std::filesystem::path FileSettingsStore::DefaultPath() {
  const char* dir = std::getenv("TARVO_CONFIG_DIR");
  std::filesystem::path base = dir && *dir ? dir : "/var/lib/tarvo";
  return base / "settings.json";
}

void FileSettingsStore::ReportOnce(const std::string& problem) {
  if (reported_) return;
  reported_ = true;
  Report(problem);
}

void FileSettingsStore::Report(const std::string& problem) {
  if (report_) {
    report_(problem);
  } else {
    std::cerr << "tarvo: " << problem << "\n";
  }
}

namespace {

// A value as the file holds it, cut short where it is long.
std::string Shown(const nlohmann::json& value) {
  constexpr size_t kShown = 24;
  const std::string text = value.dump();
  if (text.size() <= kShown) return text;
  return text.substr(0, kShown) + "... (" + std::to_string(text.size()) + " characters)";
}

// The file's values as an update reads them: what cannot be used is told by the file's store.
class LoadedValues : public MemorySettingsStore {
 public:
  LoadedValues(SettingsMap values, std::map<std::string, std::string> odd, SettingsStore& file)
      : MemorySettingsStore(std::move(values)), odd_(std::move(odd)), file_(file) {}
  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override {
    auto o = odd_.find(std::string(key) + "\n" + std::string(name));
    if (o != odd_.end()) file_.Unusable(key, name, o->second);
    return MemorySettingsStore::Read(key, name);
  }
  void Unusable(std::string_view key, std::string_view name, const std::string& why) override {
    file_.Unusable(key, name, why);
  }

 private:
  std::map<std::string, std::string> odd_;
  SettingsStore& file_;
};

}  // namespace

void FileSettingsStore::Unusable(std::string_view key, std::string_view name,
                                 const std::string& why) {
  if (!reported_values_.insert(std::string(key) + "\n" + std::string(name)).second) return;
  Report("settings file " + file_.string() + ": \"" + std::string(name) + "\" under " +
         std::string(key) + " " + why + "; using its default");
}

SettingsMap FileSettingsStore::Load(bool* corrupt, std::map<std::string, std::string>* odd,
                                    std::map<std::string, std::string>* unread) {
  *corrupt = false;
  SettingsMap keys;
  std::ifstream in(file_, std::ios::binary);
  if (!in) return keys;  // no file yet: every value missing
  std::stringstream text;
  text << in.rdbuf();
  nlohmann::json doc = nlohmann::json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (!doc.is_object()) {
    *corrupt = true;
    ReportOnce("settings file " + file_.string() + " cannot be read; using defaults");
    return keys;
  }
  for (auto& [key, values] : doc.items()) {
    if (!values.is_object()) continue;
    for (auto& [name, hex] : values.items()) {
      std::optional<std::vector<uint8_t>> bytes;
      if (hex.is_string()) bytes = FromHex(hex.get<std::string>());
      if (bytes) {
        keys[key][name] = std::move(*bytes);
      } else {
        if (odd) (*odd)[key + "\n" + name] = "is " + Shown(hex) + ", not hex digits in quotes";
        if (unread) (*unread)[key + "\n" + name] = hex.dump();
      }
    }
  }
  return keys;
}

std::optional<std::vector<uint8_t>> FileSettingsStore::Read(std::string_view key,
                                                            std::string_view name) {
  bool corrupt = false;
  std::map<std::string, std::string> odd;
  SettingsMap keys = Load(&corrupt, &odd);
  auto o = odd.find(std::string(key) + "\n" + std::string(name));
  if (o != odd.end()) Unusable(key, name, o->second);
  auto k = keys.find(key);
  if (k == keys.end()) return std::nullopt;
  auto v = k->second.find(std::string(name));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

bool FileSettingsStore::Write(std::string_view key, std::string_view name,
                              std::span<const uint8_t> value) {
  return Update([&](SettingsStore& store) { store.Write(key, name, value); });
}

bool FileSettingsStore::Update(const Change& change) {
  std::error_code ec;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
  file_ops::ExclusiveLock lock(WriterLock(file_));
  if (!lock.ok()) {
    Report("settings file " + file_.string() + " cannot be written: cannot lock " +
           WriterLock(file_).string() + ": " + std::strerror(lock.error()));
    return false;
  }
  RemoveStaleTemporaries(file_);
  bool corrupt = false;
  std::map<std::string, std::string> odd, unread;
  SettingsMap values = Load(&corrupt, &odd, &unread);
  LoadedValues loaded(std::move(values), std::move(odd), *this);
  Overlay working(loaded);
  change(working);
  if (working.writes == 0) return true;
  values = loaded.values();
  for (const auto& [key, named] : working.written()) {
    for (const auto& [name, bytes] : named) values[key][name] = bytes;
  }
  return Store(values, corrupt, unread);
}

bool FileSettingsStore::Store(const SettingsMap& keys, bool corrupt,
                              const std::map<std::string, std::string>& unread) {
  std::error_code ec;
  if (corrupt) {
    // Keep what could not be read rather than overwrite it.
    std::filesystem::copy_file(file_, file_.string() + ".corrupt",
                               std::filesystem::copy_options::overwrite_existing, ec);
  }
  nlohmann::json doc = nlohmann::json::object();
  for (auto& [k, values] : keys) {
    nlohmann::json obj = nlohmann::json::object();
    for (auto& [n, bytes] : values) obj[n] = ToHex(bytes);
    doc[k] = std::move(obj);
  }
  // A value the store cannot read (a URL written as plain text, a mistyped number) stays as it
  // was written unless this write replaced it: it was told when it was read.
  for (const auto& [where, json] : unread) {
    const size_t split = where.find('\n');
    nlohmann::json& obj = doc[where.substr(0, split)];
    const std::string name = where.substr(split + 1);
    if (!obj.contains(name)) obj[name] = nlohmann::json::parse(json, nullptr, false);
  }
  std::string text = doc.dump(2) + "\n";
  std::string why;
  bool ok = ReplaceLockedFile(
      file_, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      &why);
  if (!ok) Report("settings file " + file_.string() + " cannot be written: " + why);
  return ok;
}

}  // namespace tarvo
