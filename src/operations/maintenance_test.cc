#include "operations/maintenance.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "operations/maintenance_test_rig.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing_rig::Count;
using testing_rig::FailWritesAfter;
using testing_rig::Filter;
using testing_rig::Lines;
using testing_rig::Silent;
using testing_rig::SimRig;
using testing_rig::operator+;

// The sequences as the printer's documentation writes them, typed here on their own so that a
// slip in the production tables shows.
const Lines kA = {"M(0,1,6,2,6,1)", "M(0,0,6,4,6,1)", "M(1,0,3,200,6,1)", "M(0,1,6,2,6,1)"};
const Lines kB = {"M(0,1,4,38,3,1)", "wait 500", "M(0,1,6,54,4,1)"};

bool IsWaitOrMessage(const std::string& event) {
  return event.starts_with("wait ") || event.starts_with("message ");
}

int AnswerYes(DialogModel&) {
  return DialogModel::kOkId;
}
int AnswerNo(DialogModel&) {
  return DialogModel::kCancelId;
}

class MaintenanceTest : public ::testing::TestWithParam<EditionKind> {
 protected:
  const Edition& edition() const {
    return GetParam() == EditionKind::kProgram ? kProgramEdition : kLibraryEdition;
  }
};

INSTANTIATE_TEST_SUITE_P(Editions, MaintenanceTest,
                         ::testing::Values(EditionKind::kProgram, EditionKind::kLibrary),
                         [](const auto& info) {
                           return info.param == EditionKind::kProgram ? "Program" : "Library";
                         });

TEST_P(MaintenanceTest, LubricationSendsTheGreasingSequence) {
  SimRig rig(edition());
  Lubrication(rig.ctx, rig.link);
  Lines expected = Lines{"J(0,0)"} + kA + Lines{"M(0,1,7,62,5,1)"};
  for (int i = 0; i < 3; ++i) expected = expected + Lines{"M(0,1,3,150,6,1)", "M(0,0,3,50,6,1)"};
  expected = expected + Lines{"M(0,1,3,168,6,1)", "M(0,0,3,468,6,1)", "M(0,1,3,468,6,1)",
                              "M(0,0,3,468,6,1)", "M(0,0,0,0,6,0)",   "M(0,0,7,5,6,1)",
                              "M(1,1,3,200,6,1)", "M(0,1,7,5,6,1)",   "J(1,0)",
                              "wait 12000"};
  EXPECT_THAT(rig.Traffic(), ElementsAreArray(expected));
  EXPECT_THAT(rig.op.messages(), IsEmpty());
}

TEST_P(MaintenanceTest, InkChargeSendsTheChargeSequenceOfItsEdition) {
  SimRig rig(edition());
  const bool lib = edition().is_library();
  InkCharge(rig.ctx, rig.link);

  Lines expected = Lines{"J(0,0)"};
  if (lib) expected = expected + Lines{"M(0,0,0,0,0,4)", "M(0,0,0,0,0,3)"};
  expected = expected + kA + Lines{"M(0,0,6,7,1,1)", "M(1,1,8,31000,6,1)", "wait 6000"};
  expected = expected + Lines{"M(1,1,8,12400,6,1)", "M(1,1,8,12400,6,1)", "M(1,1,8,15540,6,1)",
                              "M(1,1,8,15540,6,1)", "wait 6000"};
  if (!lib) expected = expected + Lines{"M(0,0,6,7,1,1)"};
  expected = expected +
             Lines{"M(1,0,9,60,6,1)", "M(0,1,7,25,2,1)", "M(1,1,7,4000,6,1)", "M(1,0,9,60,6,1)"};
  expected = expected + kB;
  expected = expected + Lines{"M(1,0,9,60,6,1)",    "M(0,0,5,95,0,1)",    "M(0,0,6,22,1,1)",
                              "M(1,1,7,15540,6,1)", "M(1,1,7,15540,6,1)", "wait 3000",
                              "M(1,1,7,15540,6,1)", "M(1,1,7,15540,6,1)", "wait 3000",
                              "M(1,1,7,7760,6,1)",  "M(1,1,7,7760,6,1)",  "M(1,1,9,3080,6,1)",
                              "wait 10000"};
  expected = expected +
             Lines{"M(1,0,9,60,6,1)", "M(0,1,7,25,2,1)", "M(1,1,7,3500,6,1)", "M(1,0,9,60,6,1)"};
  expected = expected + kB +
             Lines{"M(1,1,7,9000,6,1)", "M(1,0,9,60,6,1)", "M(1,0,9,2000,6,1)", "M(0,0,5,95,0,1)",
                   "wait 10000"};
  if (lib) expected = expected + Lines{"M(0,0,6,2,6,1)", "M(0,1,6,2,6,1)"};
  expected = expected + Lines{"M(0,0,0,0,6,2)", "M(0,0,0,0,6,0)"} + kA +
             Lines{"J(1,0)", lib ? "wait 22000" : "wait 66000"};
  EXPECT_THAT(rig.Traffic(), ElementsAreArray(expected));

  // The library stops twice for the motor to come to rest: after step 5 and after step 9.
  Lines waits_and_prompts = Filter(rig.op.events(), IsWaitOrMessage);
  if (lib) {
    const std::string prompt = "message Ink DisCharge: 等馬達靜止,再按ok!!";
    EXPECT_THAT(waits_and_prompts,
                ElementsAre("wait 6000", "wait 6000", prompt, "wait 500", "wait 3000", "wait 3000",
                            "wait 10000", prompt, "wait 500", "wait 10000", "wait 22000"));
    EXPECT_EQ(rig.op.messages()[0].icon, Icon::kInformation);
  } else {
    EXPECT_THAT(rig.op.messages(), IsEmpty());
  }
}

TEST_P(MaintenanceTest, NozzleCleanSendsTheModesParameterAndWaitsUnderTheBusyWindow) {
  SimRig rig(edition());
  ChartLabel label;
  label.nozzle_cleanings = 255;
  EXPECT_TRUE(NozzleClean(rig.ctx, rig.link, label, 1));
  EXPECT_TRUE(NozzleClean(rig.ctx, rig.link, label, 2));
  EXPECT_TRUE(NozzleClean(rig.ctx, rig.link, label, 3));
  EXPECT_EQ(label.nozzle_cleanings, 2);  // wraps from 255
  EXPECT_THAT(rig.Traffic(), ElementsAre("REMOTE CH 3", "wait 10000", "REMOTE CH 4", "wait 10000",
                                         "REMOTE CH 5", "wait 10000"));
  EXPECT_EQ(rig.op.events()[0], "window+ Printer Busy");
  EXPECT_EQ(rig.op.events()[1], "wait 10000");
  EXPECT_EQ(rig.op.events()[2], "window-");
  EXPECT_FALSE(rig.op.window_open());
}

TEST_P(MaintenanceTest, NozzleCleanMode4IsTheLibrarysOnly) {
  SimRig rig(edition());
  ChartLabel label;
  const bool lib = edition().is_library();
  EXPECT_EQ(NozzleClean(rig.ctx, rig.link, label, 4).ok(), lib);
  if (lib) {
    EXPECT_THAT(rig.Traffic(), ElementsAre("REMOTE CH 2", "wait 10000"));
    EXPECT_EQ(label.nozzle_cleanings, 1);
  } else {
    EXPECT_THAT(rig.Traffic(), IsEmpty());
    EXPECT_EQ(label.nozzle_cleanings, 0);
  }
}

TEST_P(MaintenanceTest, NozzleCleanRefusesUnknownModesBeforeAnythingHappens) {
  SimRig rig(edition());
  ChartLabel label;
  for (int mode : {0, 5, -1, 256 + 1}) EXPECT_FALSE(NozzleClean(rig.ctx, rig.link, label, mode));
  EXPECT_THAT(rig.Traffic(), IsEmpty());
  EXPECT_THAT(rig.op.events(), IsEmpty());
  EXPECT_EQ(label.nozzle_cleanings, 0);
}

TEST_P(MaintenanceTest, NozzleCleanWithAFailedWriteStillCountsAndSkipsTheWait) {
  SimRig rig(edition(), FailWritesAfter(0));
  ChartLabel label;
  EXPECT_FALSE(NozzleClean(rig.ctx, rig.link, label, 1));
  EXPECT_EQ(label.nozzle_cleanings, 1);
  EXPECT_THAT(rig.clock.sleeps(), IsEmpty());
  const std::string text =
      edition().is_program() ? "Write MELoadFile Command Error !!" : "寫入 Nozzle clean 失敗 !!";
  EXPECT_THAT(rig.MessageTexts(), ElementsAre("WriteFileX: " + text));
  EXPECT_EQ(rig.op.messages()[0].icon, Icon::kError);
  EXPECT_FALSE(rig.op.window_open());
}

TEST_P(MaintenanceTest, AFailedMotorCommandIsToldAndTheSequenceGoesOn) {
  SimRig rig(edition(), FailWritesAfter(1));
  Lubrication(rig.ctx, rig.link);
  // Only J(0,0) got through, every later command was told, and all waits were kept.
  EXPECT_THAT(rig.Traffic(), ElementsAre("J(0,0)", "wait 12000"));
  EXPECT_EQ(rig.op.messages().size(), 20u);
  EXPECT_EQ(rig.MessageTexts().back(), "WriteFileX: Write MELoadFile Command Error !!");
}

// One column of the discharge's table of differences, as the documentation gives it.
struct DisChargeCase {
  std::string name;
  EditionKind edition;
  bool power_off;
  bool opening_marks;
  uint32_t s;
  std::string first_prompt;
  bool jig_lock;
  uint32_t n;
  int64_t w;
  std::string second_prompt;
  bool home_before_end;
  Lines closing;
};

const DisChargeCase kDisChargeCases[] = {
    {"ProgramInkDisCharge",
     EditionKind::kProgram,
     true,
     false,
     57,
     "Put on the JIG and Continue !!",
     false,
     14000,
     78000,
     "Move away the JIG and Continue !!",
     false,
     {"Plug out AC Cable !!", "Completed !!"}},
    {"LibraryInkDisCharge",
     EditionKind::kLibrary,
     true,
     true,
     57,
     " 更換排墨治具 !!",
     false,
     14000,
     115000,
     "取出排墨治具!!",
     false,
     {"拔下電源線!!", "排墨完畢!!"}},
    {"ProgramInkDisChargeNoPowerOff",
     EditionKind::kProgram,
     false,
     false,
     371,
     "Put on the JIG and Continue !!",
     true,
     15500,
     78000,
     "Move away the JIG and Continue !!",
     false,
     {"Plug out AC Cable !!", "Completed !!"}},
    {"LibraryInkDisChargeNoPowerOff",
     EditionKind::kLibrary,
     false,
     true,
     372,
     "更換/放入排墨治具!!",
     true,
     15500,
     115000,
     "取出排墨治具!!",
     true,
     {"排墨完成!!"}},
};

void PrintTo(const DisChargeCase& c, std::ostream* os) {
  *os << c.name;
}

class DisChargeTest : public ::testing::TestWithParam<DisChargeCase> {
 protected:
  const Edition& edition() const {
    return GetParam().edition == EditionKind::kProgram ? kProgramEdition : kLibraryEdition;
  }
  bool Run(SimRig& rig, DeviceState& state, int finishing) const {
    // What the library's host is handed: false only when the finishing failed.
    return (GetParam().power_off ? InkDisCharge(rig.ctx, rig.link, state, finishing)
                                 : InkDisChargeNoPowerOff(rig.ctx, rig.link, state, finishing))
        .achieved();
  }
  Lines Cycle() const {
    const std::string n = "M(1,1,7," + std::to_string(GetParam().n) + ",6,1)";
    return Lines{"M(0,0,0,0,6,0)"} + kA + Lines{"M(0,1,6,15,0,1)",     "M(1,1,8,4200,6,1)",
                                                "M(1,0,9,60,6,1)",     "M(0,0,6,22,1,1)",
                                                "M(1,1,7,150000,6,1)", n,
                                                "M(1,1,7,150000,6,1)", n,
                                                "M(1,0,9,60,6,1)",     "wait 15000",
                                                "M(1,0,9,60,6,1)",     "M(0,1,7,25,2,1)",
                                                "M(1,0,9,60,6,1)",     "M(1,1,8,7000,6,1)",
                                                "M(1,0,9,60,6,1)"} +
           kB +
           Lines{"M(1,1,7,9800,6,1)", "M(1,0,9,60,6,1)", "J(1,0)",
                 "wait " + std::to_string(GetParam().w)};
  }
  // Everything up to the closing wait of step 8, with `cycles` discharge cycles.
  Lines Sequence(int cycles) const {
    const DisChargeCase& c = GetParam();
    const std::string s = "M(0,1,7," + std::to_string(c.s) + ",6,1)";
    Lines out;
    if (c.opening_marks) out = Lines{"J(0,1)", "J(1,0)", "M(0,0,0,0,6,0)"};
    out = out + Lines{"J(0,0)"} + kA + Lines{s};
    if (c.jig_lock) out = out + Lines{"M(0,0,7,250,6,1)"};
    out = out + Cycle();
    for (int i = 1; i < cycles; ++i) out = out + Lines{"J(0,0)", "M(0,0,0,0,0,4)"} + Cycle();
    out = out + Lines{"J(0,0)", "M(0,0,0,0,0,4)", "M(0,0,0,0,6,0)", s, "wait 8000"};
    if (c.jig_lock) out = out + Lines{"M(0,0,7,250,6,1)"};
    out = out + Lines{"M(0,0,0,0,6,0)",  "M(0,0,6,7,1,1)",    "M(0,1,7,25,2,1)",
                      "M(1,0,9,60,6,1)", "M(1,1,8,6800,6,1)", "M(1,0,9,60,6,1)"};
    out =
        out + kB + Lines{"M(1,0,9,660,6,1)",  "M(0,0,0,0,6,0)", "M(0,1,6,2,6,1)",  "M(0,0,6,4,6,1)",
                         "M(1,0,3,1000,6,1)", "M(0,1,6,2,6,1)", "M(0,1,7,210,6,1)"};
    if (c.home_before_end) out = out + Lines{"M(0,0,0,0,6,0)"};
    return out + Lines{"J(1,0)", "wait 28000"};
  }
};

INSTANTIATE_TEST_SUITE_P(Copies, DisChargeTest, ::testing::ValuesIn(kDisChargeCases),
                         [](const auto& info) { return info.param.name; });

TEST_P(DisChargeTest, YesTwiceGivesThreeCyclesAndTheWholeSequence) {
  const DisChargeCase& c = GetParam();
  SimRig rig(edition());
  rig.op.QueueDialog(AnswerYes);
  rig.op.QueueDialog(AnswerYes);
  rig.op.QueueDialog(AnswerNo);
  DeviceState state;

  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(Run(rig, state, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));

  Lines expected = Sequence(3);
  if (c.power_off) expected = expected + Lines{"p(0)"};
  expected = expected + Lines{"wait 10000"};
  EXPECT_THAT(rig.Traffic(), ElementsAreArray(expected));
  EXPECT_THAT(rig.op.dialogs_shown(), ElementsAre(200, 200, 200));
  EXPECT_EQ(rig.printer.powered(), !c.power_off);

  // The prompts, the discharge question and the last wait window, in their places.
  Lines expected_events = {"message Ink DisCharge: " + c.first_prompt,
                           "dialog 200 DisMessage",
                           "dialog 200 DisMessage",
                           "dialog 200 DisMessage",
                           "message Ink DisCharge: " + c.second_prompt,
                           "window+ Ink DisCharge",
                           "window-"};
  for (const std::string& text : c.closing) {
    expected_events.push_back("message Ink DisCharge: " + text);
  }
  EXPECT_THAT(Filter(rig.op.events(), [](const std::string& e) { return !e.starts_with("wait"); }),
              ElementsAreArray(expected_events));
  for (const Message& m : rig.op.messages()) EXPECT_EQ(m.icon, Icon::kInformation);
  EXPECT_EQ(rig.op.windows()[0].id, 191);
}

TEST_P(DisChargeTest, WithoutFinishingThereIsNoEepromTraffic) {
  SimRig rig(edition());
  DeviceState state;
  EXPECT_TRUE(Run(rig, state, 0));
  Lines traffic = rig.Traffic();
  Lines expected = Sequence(1);
  if (GetParam().power_off) expected = expected + Lines{"p(0)"};
  EXPECT_THAT(traffic, ElementsAreArray(expected + Lines{"wait 10000"}));
  EXPECT_EQ(state.current_image, RomImage{});
}

RomImage Pattern() {
  RomImage image;
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(0x80 + i);
  return image;
}

TEST_P(DisChargeTest, FinishingWritesTheShippingValuesBeforeThePowerOff) {
  const DisChargeCase& c = GetParam();
  SimRig rig(edition());
  rig.printer.eeprom() = Pattern();
  rig.printer.set_firmware("0099");
  DeviceState state;
  state.current_image = Pattern();
  EXPECT_TRUE(Run(rig, state, 1));

  Lines tail = Filter(rig.Traffic(), [](const std::string& l) { return !l.starts_with("REMOTE"); });
  tail.erase(tail.begin(), tail.end() - (c.power_off ? 9 : 8));
  Lines expected = {"READ(0,128)", "F", "F", "WRITE(0,128)", "DATA(128)", "READ(0,128)", "F"};
  if (c.power_off) expected.push_back("p(0)");
  expected.push_back("wait 10000");
  EXPECT_THAT(tail, ElementsAreArray(expected));

  const RomImage before = Pattern();
  RomImage eeprom = rig.printer.eeprom();
  RomImage want = before;
  RomImage want_current = before;
  std::copy_n("0099", 4, want.begin() + 34);  // the image read carries the running version
  want[40] = 1;
  want[123] = 1;
  if (c.name != "LibraryInkDisChargeNoPowerOff") {
    std::fill(want.begin() + 41, want.begin() + 110, 0);
    std::fill(want.begin() + 112, want.begin() + 122, 0);
    if (c.name == "LibraryInkDisCharge") want[122] = 0;
  } else {
    // This copy writes only the flags and clears the counters of the current image.
    std::fill(want.begin() + 41, want.begin() + 45, 0);
    want[77] = 1;
    std::copy_n("0099", 4, want_current.begin() + 34);
    std::fill(want_current.begin() + 41, want_current.begin() + 110, 0);
    std::fill(want_current.begin() + 112, want_current.begin() + 123, 0);
  }
  EXPECT_THAT(eeprom, ElementsAreArray(want));
  EXPECT_THAT(state.current_image, ElementsAreArray(want_current));
  EXPECT_EQ(rig.printer.powered(), !c.power_off);
}

TEST_P(DisChargeTest, AFailedImageReadEndsWithFalseAndNoPowerOff) {
  SimRig rig(edition(), Silent());
  DeviceState state;
  EXPECT_FALSE(Run(rig, state, 1));
  Lines traffic =
      Filter(rig.Traffic(), [](const std::string& l) { return !l.starts_with("REMOTE"); });
  EXPECT_EQ(Count(traffic, "p(0)"), 0u);
  EXPECT_EQ(Count(traffic, "WRITE(0,128)"), 0u);
  EXPECT_EQ(traffic.back(), "READ(0,128)");
  EXPECT_THAT(rig.op.windows(), IsEmpty());
  EXPECT_EQ(rig.MessageTexts().back(), "Ink DisCharge: " + GetParam().second_prompt);
}

TEST_P(DisChargeTest, AnImageThatDoesNotVerifyIsToldAndEndsWithoutPowerOff) {
  SimRig rig(edition());
  rig.backend.fail_write = [](std::span<const uint8_t> data) { return data.size() == 128; };
  DeviceState state;
  EXPECT_FALSE(Run(rig, state, 1));
  EXPECT_EQ(Count(rig.Traffic(), "p(0)"), 0u);
  EXPECT_EQ(rig.MessageTexts().back(), "Ink DisCharge: Write EEPROM Error !!");
  EXPECT_EQ(rig.op.messages().back().icon, Icon::kError);
  EXPECT_THAT(rig.op.windows(), IsEmpty());
}

}  // namespace
}  // namespace tarvo
