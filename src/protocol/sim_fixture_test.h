#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "dialogs/recording_operator.h"
#include "link/printer_link.h"
#include "sim/notation.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace tarvo {

// A simulated printer on an open link, with every port of the device layer recorded.
struct SimFixture : ::testing::Test {
  explicit SimFixture(const Edition& edition = kProgramEdition)
      : ctx{edition, clock, op, settings, wire}, link(ctx, backend) {}

  void SetUp() override {
    ASSERT_TRUE(link.HandleOpen());
    wire_lines.Clear();
  }

  // The write-pipe traffic since the last call, in the simulator's notation.
  std::vector<std::string> Traffic() {
    std::vector<std::string> t = sim::DescribeTraffic(wire_lines.lines());
    wire_lines.Clear();
    return t;
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const Message& m : op.messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  sim::SimPrinter printer{clock, sim::SimSpec{}};
  sim::SimBackend backend{printer, clock};
  Context ctx;
  PrinterLink link;
};

struct LibrarySimFixture : SimFixture {
  LibrarySimFixture() : SimFixture(kLibraryEdition) {}
};

}  // namespace tarvo
