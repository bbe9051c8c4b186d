#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The two keys of the machine-wide settings.
inline constexpr std::string_view kProgramKey = "SOFTWARE\\OrielTarvo\\TarvoDlg";
inline constexpr std::string_view kSelectPrinterKey = "SOFTWARE\\CorvidFT\\SelectPrinter";

// Values by key, then by name.
using SettingsMap = std::map<std::string, std::map<std::string, std::vector<uint8_t>>, std::less<>>;

// Named binary values under named keys, as the station's settings have always been kept. Abstract
// so that tests can use an in-memory store. A missing value reads as nothing, so the caller keeps
// its default.
//
// Threads: a store is used from one thread at a time: the device thread while an operation runs,
// the thread of a settings page while none does. A front end that lets both happen at once
// serialises them itself; a store is not marshalled to another thread.
class SettingsStore {
 public:
  using Change = std::function<void(SettingsStore&)>;

  virtual ~SettingsStore() = default;
  // The bytes stored under key/name, or nothing.
  virtual std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) = 0;
  // Stores the bytes, creating the key when missing. Returns false when the store could not be
  // written; callers that never checked a registry write may ignore it.
  virtual bool Write(std::string_view key, std::string_view name,
                     std::span<const uint8_t> value) = 0;

  // Fixed-width values. A stored value of any other width counts as missing, and is handed to
  // Unusable().
  std::optional<int32_t> ReadInt32(std::string_view key, std::string_view name);
  std::optional<uint8_t> ReadByte(std::string_view key, std::string_view name);
  bool WriteInt32(std::string_view key, std::string_view name, int32_t value);
  bool WriteByte(std::string_view key, std::string_view name, uint8_t value);

  // Runs `change` on a view of the store whose reads see the store and the writes made so far,
  // then stores every value it wrote in one go. A store shared between processes does that
  // atomically: no other writer comes between the reads and the writes, and the values land all
  // together or not at all. False (nothing stored) when the store could not be written. This one
  // stores the values one by one.
  virtual bool Update(const Change& change);

  // A value that is stored but cannot be used (`why`: what it holds instead), so its reader keeps
  // its default. A store that can tell someone does so; this one says nothing.
  virtual void Unusable(std::string_view key, std::string_view name, const std::string& why);
};

// Held in memory only: the fake of tests, and the working copy of an update.
class MemorySettingsStore : public SettingsStore {
 public:
  MemorySettingsStore() = default;
  explicit MemorySettingsStore(SettingsMap values) : keys_(std::move(values)) {}

  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override;
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override;
  bool Update(const Change& change) override;

  const SettingsMap& values() const { return keys_; }

 private:
  SettingsMap keys_;
};

// One JSON file shared by the program, the library and the command line:
//   { "SOFTWARE\\CorvidFT\\SelectPrinter": { "MS1": "fdffffff", ... }, ... }
// with each value as lowercase hex. The file is read afresh at every Read, so a change made by
// another process is seen at once. Every write is a read-modify-write of the whole file under an
// exclusive lock (flock; on the folder, or on "<name>.lock" where the system has no unnamed files:
// see WriterLock), shared by the program, the library in its host and tarvo-cli, so no writer's
// change is lost; the file is then replaced atomically, the new text without a name of its own
// until it takes the file's by way of "<name>.lock" (see ReplaceLockedFile), so a writer killed
// half-way leaves nothing behind; temporaries that writers of the past left are removed by the
// next writer.
// A file that cannot be parsed is reported once and reads as empty; the first write after that
// keeps it beside the new one as "<name>.corrupt". A value that is not hex in quotes, or not of
// the width its reader takes, is reported once per value, when it is first read, and read as
// missing. A write that fails is reported each time.
class FileSettingsStore : public SettingsStore {
 public:
  using ProblemSink = std::function<void(const std::string&)>;

  // `report` receives a one-line description of a problem with the file (default: stderr).
  explicit FileSettingsStore(std::filesystem::path file, ProblemSink report = {});

  // $TARVO_CONFIG_DIR/settings.json, or /var/lib/tarvo/settings.json.
  static std::filesystem::path DefaultPath();

  std::optional<std::vector<uint8_t>> Read(std::string_view key, std::string_view name) override;
  bool Write(std::string_view key, std::string_view name, std::span<const uint8_t> value) override;
  bool Update(const Change& change) override;
  void Unusable(std::string_view key, std::string_view name, const std::string& why) override;

  const std::filesystem::path& path() const { return file_; }
  // The second name the file's replacement goes by (and the lock where there are no unnamed files).
  std::filesystem::path lock_path() const { return file_.string() + ".lock"; }

 private:
  // Reads the whole file; sets `corrupt` when it exists but cannot be understood. Values that are
  // no hex text go into *odd (when given), as what they hold.
  // `unread` gets the values that are no hex bytes as they stand in the file (JSON text, by
  // "key\nname"), so a rewrite keeps what a person wrote there by hand.
  SettingsMap Load(bool* corrupt, std::map<std::string, std::string>* odd = nullptr,
                   std::map<std::string, std::string>* unread = nullptr);
  bool Store(const SettingsMap& values, bool corrupt,
             const std::map<std::string, std::string>& unread = {});
  void ReportOnce(const std::string& problem);
  void Report(const std::string& problem);

  std::filesystem::path file_;
  ProblemSink report_;
  bool reported_ = false;
  std::set<std::string> reported_values_;  // "key\nname"
};

}  // namespace tarvo
