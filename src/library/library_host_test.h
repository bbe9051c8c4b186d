#pragma once

// A test's own host process: a fresh copy of libfennick loaded with dlopen, every export looked
// up by name, and the simulated printer, the scripted operator and the logs it is told to use
// through the environment, all in a temporary folder that is the current directory meanwhile.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "fennick.h"
#include "sim/notation.h"

namespace fennick_test {

namespace fs = std::filesystem;

// clang-format off
#define FENNICK_EXPORTS(X) \
  X(BiAdjust) \
  X(DumpData) \
  X(DumpTransferROMData) \
  X(HandleClose) \
  X(HandleOpen) \
  X(InkCharge) \
  X(InkDisCharge) \
  X(InkDisChargeNoPowerOff) \
  X(LoadFile) \
  X(Lubrication) \
  X(MELoadFilePtr) \
  X(MotorAction) \
  X(MotorMoveTest) \
  X(NozzleClean) \
  X(PowerOff) \
  X(PowerOffTest) \
  X(PrintChart) \
  X(ReadData) \
  X(ReadFW) \
  X(ReadFatalErrorCode) \
  X(ReadRamFWPtr) \
  X(ReadTemperatureBegin) \
  X(ResetAll) \
  X(SaveFile) \
  X(SetCharge) \
  X(SetDLLVersion) \
  X(SetFTFlag) \
  X(SetHeadID) \
  X(SetInitialStuff) \
  X(SetInitialValue) \
  X(SetInkSystemValue) \
  X(TOF) \
  X(Transferflag) \
  X(UpdateFW) \
  X(UpdateShippingFW)
// clang-format on

// The exports as the host sees them.
struct Api {
#define FENNICK_SLOT(name) decltype(&::name) name = nullptr;
  FENNICK_EXPORTS(FENNICK_SLOT)
#undef FENNICK_SLOT
};

inline std::vector<std::string> ReadLines(const fs::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline void WriteText(const fs::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string Hex(std::span<const uint8_t> bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// A printer's image with recognisable values: destination "USA", head ID "AB12CD", MS1 +5,
// MS2 -3, VSD 0, ECN 2, TOF -1, ModelNumber 1, firmware "0073", FtFlag 1, the two ink system
// bytes 0x6E = 7 and 0x6F = 9; zeros elsewhere.
inline std::array<uint8_t, 128> SampleImage() {
  std::array<uint8_t, 128> image{};
  std::memcpy(&image[0x00], "USA", 3);
  std::memcpy(&image[0x03], "SN0001", 6);
  std::memcpy(&image[0x15], "AB12CD", 6);
  image[0x1B] = 5;
  image[0x1C] = static_cast<uint8_t>(-3);
  image[0x1E] = 2;
  image[0x1F] = static_cast<uint8_t>(-1);
  image[0x21] = 1;
  std::memcpy(&image[0x22], "0073", 4);
  image[0x6E] = 7;
  image[0x6F] = 9;
  image[0x7B] = 1;
  return image;
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fennick-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    for (const auto& entry : fs::directory_iterator(TARVO_SAMPLES_DIR)) {
      if (entry.path().extension() == ".prn")
        fs::copy_file(entry.path(), dir_ / entry.path().filename());
    }
    old_cwd_ = fs::current_path();
    fs::current_path(dir_);
    Script("");
  }

  void TearDown() override {
    if (handle_) dlclose(handle_);
    fs::current_path(old_cwd_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // The operator's answer lines (src/dialogs/README.md).
  void Script(std::string_view lines) { WriteText(dir_ / "operator.script", lines); }

  // The printer's EEPROM before the library first reaches it.
  void SeedEeprom(std::span<const uint8_t, 128> image) {
    WriteText(dir_ / "printer.json", nlohmann::json{{"eeprom", Hex(image)}}.dump());
  }

  // Sets the environment and loads a copy of the library of this test's own, so that even tests
  // run in one process start from a library just loaded. `sim_query` is appended to the printer
  // name ("?absent=1").
  Api& Load(std::string_view sim_query = "") {
    setenv("TARVO_PRINTER",
           ("sim:" + (dir_ / "printer.json").string() + std::string(sim_query)).c_str(), 1);
    setenv("TARVO_OPERATOR", ("script:" + (dir_ / "operator.script").string()).c_str(), 1);
    setenv("TARVO_TRANSCRIPT", (dir_ / "transcript").c_str(), 1);
    setenv("TARVO_WIRE_LOG", (dir_ / "wire.log").c_str(), 1);
    setenv("TARVO_CONFIG_DIR", dir_.c_str(), 1);
    setenv("TARVO_VIRTUAL_TIME", "1", 1);
    const fs::path copy = dir_ / "libfennick-under-test.so";
    fs::copy_file(FENNICK_LIBRARY, copy);
    handle_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle_, nullptr) << dlerror();
    if (!handle_) return api_;
#define FENNICK_LOOK_UP(name)                                \
  {                                                          \
    void* address = dlsym(handle_, #name);                   \
    EXPECT_NE(address, nullptr) << #name " is not exported"; \
    std::memcpy(&api_.name, &address, sizeof address);       \
  }
    FENNICK_EXPORTS(FENNICK_LOOK_UP)
#undef FENNICK_LOOK_UP
    return api_;
  }

  // Load, then HandleOpen, which must succeed.
  Api& LoadOpen() {
    Api& api = Load();
    EXPECT_EQ(api.HandleOpen(), 1);
    return api;
  }

  // The simulated printer's state file.
  nlohmann::json State() const {
    std::ifstream in(dir_ / "printer.json");
    if (!in) return nlohmann::json::object();
    return nlohmann::json::parse(in);
  }
  std::vector<uint8_t> Eeprom() const {
    nlohmann::json state = State();
    std::vector<uint8_t> bytes;
    if (!state.contains("eeprom")) return bytes;
    const std::string hex = state["eeprom"];
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
  }
  // The header page lines of each printout, in order.
  std::vector<std::string> HeaderPages() const {
    std::vector<std::string> pages;
    nlohmann::json state = State();
    if (!state.contains("printouts")) return pages;
    for (const auto& printout : state["printouts"]) {
      std::string page;
      for (const auto& line : printout["header_lines"]) page += line.get<std::string>() + "\n";
      pages.push_back(page);
    }
    return pages;
  }

  std::vector<std::string> Transcript() const {
    return ReadLines(dir_ / "transcript");
  }
  // The "message CAPTION: TEXT" lines of the transcript, as "CAPTION: TEXT".
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const std::string& line : Transcript()) {
      if (line.starts_with("message ")) out.push_back(line.substr(8));
    }
    return out;
  }
  // The printer traffic in the simulated printer's notation ("READ(0,41)", "wait 10000").
  std::vector<std::string> Traffic() const {
    return tarvo::sim::DescribeTraffic(ReadLines(dir_ / "wire.log"));
  }
  // Whether any transfer wrote into the EEPROM.
  bool EepromWritten() const {
    for (const std::string& line : Traffic()) {
      if (line.starts_with("WRITE(")) return true;
    }
    return false;
  }

  fs::path dir_;

 private:
  fs::path old_cwd_;
  void* handle_ = nullptr;
  Api api_;
};

}  // namespace fennick_test
