#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/device_rig.h"

namespace tarvo {

// A simulated printer on an open link, with every port of the device layer recorded.
struct SimFixture : ::testing::Test, testing::DeviceRig {
  explicit SimFixture(const Edition& edition = kProgramEdition) : testing::DeviceRig(edition) {}

  void SetUp() override {
    ASSERT_TRUE(link.HandleOpen());
    wire_lines.Clear();
  }

  // The write-pipe traffic since the last call, in the simulator's notation.
  std::vector<std::string> Traffic() {
    std::vector<std::string> t = testing::DeviceRig::Traffic();
    wire_lines.Clear();
    return t;
  }
};

struct LibrarySimFixture : SimFixture {
  LibrarySimFixture() : SimFixture(kLibraryEdition) {}
};

}  // namespace tarvo
