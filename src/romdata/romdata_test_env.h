#pragma once

// The bench of the ROM data tests: a simulated printer on an open link, a recording operator, a
// virtual clock, and a scratch folder for files.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "dialogs/recording_operator.h"
#include "link/printer_link.h"
#include "romdata/rom_layout.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace tarvo::testing_env {

// A recording operator whose file dialog, like a real one, may leave the process in the folder
// the operator browsed to.
class WanderingOperator : public RecordingOperator {
 public:
  std::optional<std::string> ChooseFile(const FileRequest& request) override {
    requests.push_back(request);
    if (!wander_to.empty()) std::filesystem::current_path(wander_to);
    return RecordingOperator::ChooseFile(request);
  }
  std::filesystem::path wander_to;
  std::vector<FileRequest> requests;
};

class Bench {
 public:
  explicit Bench(const Edition& edition = kProgramEdition)
      : ctx{edition, clock, op, settings, wire},
        printer(clock, sim::SimSpec{}),
        backend(printer, clock),
        link(ctx, backend) {
    EXPECT_TRUE(link.HandleOpen());
    printer.ClearLog();
  }

  // What the printer received, in the simulator's notation, dropping the remote preambles.
  std::vector<std::string> Received() const {
    std::vector<std::string> out;
    for (const std::string& line : printer.log()) {
      if (!line.starts_with("REMOTE")) out.push_back(line);
    }
    return out;
  }
  bool Wrote() const {
    const auto& log = printer.log();
    return std::any_of(log.begin(), log.end(),
                       [](const std::string& l) { return l.starts_with("WRITE("); });
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const Message& m : op.messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  VirtualClock clock;
  WanderingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  Context ctx;
  sim::SimPrinter printer;
  sim::SimBackend backend;
  PrinterLink link;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "romdata-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), {});
}

// An image whose byte i is `i + seed`, with a plausible firmware version.
inline RomImage Pattern(uint8_t seed = 1) {
  RomImage image;
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i + seed);
  return image;
}

}  // namespace tarvo::testing_env
