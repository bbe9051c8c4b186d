#pragma once

// The bench of the ROM data tests: a simulated printer on an open link, an operator whose file
// dialog may wander, and helpers for the files the tests hand over.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "operators/recording_operator.h"
#include "model/rom_layout.h"
#include "testing/device_rig.h"
#include "testing/scratch_dir.h"

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

class Bench : public testing::BasicDeviceRig<WanderingOperator> {
 public:
  explicit Bench(const Edition& edition = kProgramEdition) : BasicDeviceRig(edition) {
    EXPECT_TRUE(Open());
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
