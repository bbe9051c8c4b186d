#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The two keys of the machine-wide settings.
inline constexpr std::string_view kProgramKey = "SOFTWARE\\OrielTarvo\\TarvoDlg";
inline constexpr std::string_view kSelectPrinterKey = "SOFTWARE\\CorvidFT\\SelectPrinter";

// Named binary values under named keys, as the station's settings have always been kept. Abstract
// so that tests can use an in-memory store. A missing value reads as nothing, so the caller keeps
// its default.
//
// Threads: a store is used from one thread at a time: the device thread while an operation runs,
// the thread of a settings page while none does. A front end that lets both happen at once
// serialises them itself; a store is not marshalled to another thread.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The bytes stored under key/name, or nothing.
  virtual std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) = 0;
  // Stores the bytes, creating the key when missing. Returns false when the store could not be
  // written; callers that never checked a registry write may ignore it.
  virtual bool Write(std::string_view key, std::string_view name,
                     std::span<const uint8_t> value) = 0;

  // Fixed-width values. A stored value of any other width counts as missing.
  std::optional<int32_t> ReadInt32(std::string_view key, std::string_view name);
  std::optional<uint8_t> ReadByte(std::string_view key, std::string_view name);
  bool WriteInt32(std::string_view key, std::string_view name, int32_t value);
  bool WriteByte(std::string_view key, std::string_view name, uint8_t value);
};

// Held in memory only: the fake of tests.
class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override;
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override;

 private:
  std::map<std::string, std::map<std::string, std::vector<uint8_t>>, std::less<>> keys_;
};

// One JSON file shared by the program, the library and the command line:
//   { "SOFTWARE\\CorvidFT\\SelectPrinter": { "MS1": "fdffffff", ... }, ... }
// with each value as lowercase hex. The file is read afresh at every Read, so a change made by
// another process is seen at once. Writes replace the file atomically (temporary file, then
// rename). A file that cannot be parsed is reported once and reads as empty; the first write
// after that keeps it beside the new one as "<name>.corrupt".
class FileSettingsStore : public SettingsStore {
 public:
  using ProblemSink = std::function<void(const std::string&)>;

  // `report` receives a one-line description of a problem with the file (default: stderr).
  explicit FileSettingsStore(std::filesystem::path file, ProblemSink report = {});

  // $TARVO_CONFIG_DIR/settings.json, or /var/lib/tarvo/settings.json.
  static std::filesystem::path DefaultPath();

  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override;
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override;

  const std::filesystem::path& path() const { return file_; }

 private:
  using Keys = std::map<std::string, std::map<std::string, std::vector<uint8_t>>, std::less<>>;
  // Reads the whole file; sets `corrupt` when it exists but cannot be understood.
  Keys Load(bool* corrupt);
  void Report(const std::string& problem);

  std::filesystem::path file_;
  ProblemSink report_;
  bool reported_ = false;
};

}  // namespace tarvo
