#include "operations/alignment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "operations/maintenance_test_rig.h"

namespace tarvo {
namespace {

// The result codes the station and the library's hosts read.
constexpr int kAdjustNotVerified = 0;
constexpr int kAdjustStored = 1;
constexpr int kAdjustNotDone = 2;
constexpr int kAdjustOutOfRange = 3;

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_rig::EepromDoesNotStick;
using testing_rig::Filter;
using testing_rig::Lines;
using testing_rig::SimRig;
using testing_rig::operator+;

// TOF Adjustment radios by index: "2" (25 more), "1" (accept), "0" (25 less).
constexpr int kMore = 0;
constexpr int kAccept = 1;
constexpr int kLess = 2;

RecordingOperator::DialogAnswer Tof(int radio) {
  return [radio](DialogModel& d) {
    d.control(TofAdjustDialog::kRadioId)->selected = radio;
    return DialogModel::kOkId;
  };
}

constexpr int kRePrint = ValueEntryDialog::kRePrintId;
constexpr int kOk = DialogModel::kOkId;

RecordingOperator::DialogAnswer Offset(int value, int button) {
  return [value, button](DialogModel& d) {
    d.control(ValueEntryDialog::kValueId)->text = std::to_string(value);
    return button;
  };
}

// What the adjustments themselves send: TOF and "D" commands, head data block reads and writes,
// and the job mark that opens each chart.
Lines Adjustments(const Lines& traffic) {
  return Filter(traffic, [](const std::string& l) {
    return l.starts_with("TOF(") || l.starts_with("D(") || l == "READ(0,41)" ||
           l == "WRITE(0,41)" || l == "DATA(41)" || l == "J(0,1)";
  });
}

const Lines kStore = {"READ(0,41)", "WRITE(0,41)", "DATA(41)", "READ(0,41)"};

// The messages apart from the charts' (the print files are not there in a test).
Lines Told(const SimRig& rig) {
  return Filter(rig.MessageTexts(),
                [](const std::string& m) { return !m.starts_with("Open File"); });
}

// The chart files the adjustment tried to print, in order.
Lines ChartFiles(const SimRig& rig) {
  Lines out;
  for (const Message& m : rig.op.messages()) {
    if (m.caption != "Open File") continue;
    size_t start = m.text.find("I_");
    out.push_back(m.text.substr(start, m.text.find(".prn") + 4 - start));
  }
  return out;
}

class AlignmentTest : public ::testing::TestWithParam<EditionKind> {
 protected:
  AlignmentTest() : rig(GetParam() == EditionKind::kProgram ? kProgramEdition : kLibraryEdition) {
    RomImage& eeprom = rig.printer.eeprom();
    // A destination code first: a block starting with '@' would read as a status frame.
    for (size_t i = 0; i < eeprom.size(); ++i) eeprom[i] = static_cast<uint8_t>(0x30 + i % 64);
    eeprom[kMs1AdjustOffset] = 10;
    eeprom[kMs2AdjustOffset] = static_cast<uint8_t>(-4);
    eeprom[kVsdAdjustOffset] = 0;
    eeprom[kEcnAdjustOffset] = 3;
    eeprom[kTofAdjustOffset] = static_cast<uint8_t>(-2);
    std::copy_n(eeprom.begin(), kHeadBlockSize, working.begin());
  }
  bool library() const { return GetParam() == EditionKind::kLibrary; }
  int8_t Eeprom(uint8_t offset) { return static_cast<int8_t>(rig.printer.eeprom()[offset]); }
  // The station's result codes of the adjustments.
  int RunTof() { return TOF(rig.ctx, rig.link, state, working, read, label).ResultCode(); }
  int RunBiAdjust(int mode) {
    return BiAdjust(rig.ctx, rig.link, state, working, read, label, mode).ResultCode();
  }

  SimRig rig;
  DeviceState state;
  HeadBlock working{};
  HeadBlock read{};
  ChartLabel label;
};

INSTANTIATE_TEST_SUITE_P(Editions, AlignmentTest,
                         ::testing::Values(EditionKind::kProgram, EditionKind::kLibrary),
                         [](const auto& info) {
                           return info.param == EditionKind::kProgram ? "Program" : "Library";
                         });

TEST_P(AlignmentTest, TofAcceptedAtOnceStoresTheCurrentValueAfterOneChart) {
  rig.op.QueueDialog(Tof(kAccept));
  EXPECT_EQ(RunTof(), kAdjustStored);
  EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)"} + kStore));
  EXPECT_THAT(ChartFiles(rig), ElementsAre("I_TOF_1.prn"));
  EXPECT_EQ(Eeprom(kTofAdjustOffset), -2);
  EXPECT_THAT(Told(rig), IsEmpty());
  EXPECT_EQ(label.chart_prints, 1);  // the chart was counted
}

TEST_P(AlignmentTest, TofTwiceUpThenAcceptedSendsEachStepAndStoresTheLast) {
  rig.op.QueueDialog(Tof(kMore));
  rig.op.QueueDialog(Tof(kMore));
  rig.op.QueueDialog(Tof(kAccept));
  EXPECT_EQ(RunTof(), kAdjustStored);
  EXPECT_EQ(Adjustments(rig.Traffic()),
            (Lines{"J(0,1)", "TOF(-1)", "J(0,1)", "TOF(0)", "J(0,1)"} + kStore));
  EXPECT_EQ(Eeprom(kTofAdjustOffset), 0);
  EXPECT_EQ(static_cast<int8_t>(working[kTofAdjustOffset]), 0);
  EXPECT_THAT(rig.op.dialogs_shown(), ElementsAre(173, 173, 173));
}

TEST_P(AlignmentTest, TofDownSendsOneLess) {
  rig.op.QueueDialog(Tof(kLess));
  rig.op.QueueDialog(Tof(kAccept));
  EXPECT_EQ(RunTof(), kAdjustStored);
  EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)", "TOF(-3)", "J(0,1)"} + kStore));
  EXPECT_EQ(Eeprom(kTofAdjustOffset), -3);
}

TEST_P(AlignmentTest, TofStaysWithinASignedByte) {
  working[kTofAdjustOffset] = 127;
  rig.op.QueueDialog(Tof(kMore));
  rig.op.QueueDialog(Tof(kLess));
  rig.op.QueueDialog(Tof(kAccept));
  EXPECT_EQ(RunTof(), kAdjustStored);
  EXPECT_EQ(Adjustments(rig.Traffic()),
            (Lines{"J(0,1)", "TOF(127)", "J(0,1)", "TOF(126)", "J(0,1)"} + kStore));
}

TEST_P(AlignmentTest, TheProgramStoresIntoTheEepromsBlockTheLibraryWritesTheHostsBlock) {
  std::copy_n("XYZ123", 6, working.begin() + kHeadIdOffset);
  const HeadBlock before = HeadBlockOf(rig.printer.eeprom());
  rig.op.QueueDialog(Tof(kMore));
  rig.op.QueueDialog(Tof(kAccept));
  EXPECT_EQ(RunTof(), kAdjustStored);

  HeadBlock want = library() ? working : before;
  want[kTofAdjustOffset] = static_cast<uint8_t>(-1);
  EXPECT_EQ(HeadBlockOf(rig.printer.eeprom()), want);
  EXPECT_EQ(working, want);
  EXPECT_EQ(read, want);
}

TEST_P(AlignmentTest, TofCommandThatFailsIsToldAndNothingIsStored) {
  rig.op.QueueDialog([this](DialogModel& d) {
    rig.backend.fail_write = [](std::span<const uint8_t> data) {
      return data.size() == 8 && data[1] == 0x91;
    };
    return Tof(kMore)(d);
  });
  EXPECT_EQ(RunTof(), kAdjustNotDone);
  EXPECT_THAT(Told(rig), ElementsAre(library() ? "WriteFileX: 寫入TOF失敗!!"
                                               : "WriteFileX: Write MELoadFile Command Error !!"));
  EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)"}));
  EXPECT_EQ(static_cast<int8_t>(working[kTofAdjustOffset]), -1);  // the last value tried
  EXPECT_EQ(Eeprom(kTofAdjustOffset), -2);
}

TEST_P(AlignmentTest, TofThatDoesNotVerifyIsToldWithResult0) {
  rig.printer.faults() = EepromDoesNotStick();
  rig.op.QueueDialog(Tof(kMore));
  rig.op.QueueDialog(Tof(kAccept));
  EXPECT_EQ(RunTof(), kAdjustNotVerified);
  EXPECT_THAT(Told(rig),
              ElementsAre(library() ? "TOF: 寫入資料失敗!!" : "TOF: Write EEPROM Error !!"));
  EXPECT_EQ(rig.op.messages().back().icon, Icon::kError);
}

TEST_P(AlignmentTest, TofClosedWithoutOkStoresNothing) {
  EXPECT_EQ(RunTof(), kAdjustNotDone);  // no answer queued: the dialog is closed with Esc
  EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)"}));
}

TEST_P(AlignmentTest, AStoreWhoseFreshReadFailsWritesNothing) {
  rig.op.QueueDialog([this](DialogModel& d) {
    rig.printer.faults().silent = true;
    return Tof(kMore)(d);
  });
  rig.op.QueueDialog(Tof(kAccept));
  const RomImage before = rig.printer.eeprom();
  EXPECT_EQ(RunTof(), kAdjustNotDone);
  EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)", "TOF(-1)", "J(0,1)", "READ(0,41)"}));
  EXPECT_EQ(rig.printer.eeprom(), before);
}

TEST_P(AlignmentTest, BiAdjustSendsEachPassesOffsetAndStoresTheTotal) {
  rig.op.QueueDialog(Offset(5, kRePrint));
  rig.op.QueueDialog(Offset(-2, kOk));
  EXPECT_EQ(RunBiAdjust(0), kAdjustStored);
  EXPECT_EQ(Adjustments(rig.Traffic()),
            (Lines{"J(0,1)", "D(8,8,13,8)", "J(0,1)", "D(8,8,6,8)"} + kStore));
  EXPECT_THAT(ChartFiles(rig), ElementsAre("I_MS1_D2_1.prn", "I_MS1_D1_1.prn"));
  EXPECT_EQ(Eeprom(kMs1AdjustOffset), 13);
  EXPECT_THAT(rig.op.events(), ::testing::Contains("dialog 189 MS1"));
  EXPECT_THAT(Told(rig), IsEmpty());
}

TEST_P(AlignmentTest, BiAdjustNegativeOffsetsWrapInTheValueByte) {
  rig.op.QueueDialog(Offset(-8, kRePrint));
  rig.op.QueueDialog(Offset(-15, kOk));
  EXPECT_EQ(RunBiAdjust(0), kAdjustStored);
  EXPECT_EQ(Adjustments(rig.Traffic()),
            (Lines{"J(0,1)", "D(8,8,0,8)", "J(0,1)", "D(8,8,249,8)"} + kStore));
  EXPECT_EQ(Eeprom(kMs1AdjustOffset), 10 - 23);
}

TEST_P(AlignmentTest, BiAdjustTotalPast60IsToldAndNotStored) {
  working[kMs1AdjustOffset] = 56;
  const RomImage before = rig.printer.eeprom();
  rig.op.QueueDialog(Offset(5, kRePrint));
  EXPECT_EQ(RunBiAdjust(0), kAdjustOutOfRange);
  EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)", "D(8,8,13,8)"}));
  EXPECT_THAT(Told(rig), ElementsAre(library() ? "MS1: 調整Bi-d 位移值失敗 !!"
                                               : "MS1: Adjust Bi-d Alignment Fail !!"));
  EXPECT_EQ(working[kMs1AdjustOffset], 61);
  EXPECT_EQ(rig.printer.eeprom(), before);
}

TEST_P(AlignmentTest, BiAdjustModesHaveTheirFieldChartsCaptionAndPacket) {
  struct Case {
    int mode;
    uint8_t offset;
    std::string chart;
    std::string caption;
    std::string transfer;
  };
  for (const Case& c : {Case{1, kMs2AdjustOffset, "I_MS2_D2_1.prn", "MS2", "D(9,8,8,8)"},
                        Case{2, kVsdAdjustOffset, "I_VSD_D2_1.prn", "VSD", "D(8,9,8,8)"},
                        Case{3, kEcnAdjustOffset, "I_ECN_D2_1.prn", "ECN", "D(8,8,8,9)"}}) {
    SCOPED_TRACE(c.caption);
    rig.wire_lines.Clear();
    const int8_t old = Eeprom(c.offset);
    const size_t shown = rig.op.messages().size();
    rig.op.QueueDialog(Offset(1, kOk));
    EXPECT_EQ(RunBiAdjust(c.mode), kAdjustStored);
    EXPECT_EQ(Adjustments(rig.Traffic()), (Lines{"J(0,1)", c.transfer} + kStore));
    EXPECT_EQ(Eeprom(c.offset), old + 1);
    EXPECT_EQ(rig.op.events().back(), "dialog 189 " + c.caption);
    EXPECT_THAT(ChartFiles(rig).back(), c.chart);
    EXPECT_EQ(rig.op.messages().size(), shown + 1);
  }
}

TEST_P(AlignmentTest, BiAdjustRefusesAModeOutside0To3BeforeAnything) {
  EXPECT_EQ(RunBiAdjust(4), kAdjustNotDone);
  EXPECT_EQ(RunBiAdjust(-1), kAdjustNotDone);
  EXPECT_THAT(rig.Traffic(), IsEmpty());
  EXPECT_THAT(rig.op.events(), IsEmpty());
}

TEST_P(AlignmentTest, BiAdjustTransferThatFailsIsTold) {
  rig.backend.fail_write = [](std::span<const uint8_t> data) { return data.size() == 32; };
  rig.op.QueueDialog(Offset(3, kRePrint));
  EXPECT_EQ(RunBiAdjust(0), kAdjustNotDone);
  EXPECT_THAT(Told(rig), ElementsAre(library() ? "WriteFileX: 寫入Bi-d調整失敗!!"
                                               : "WriteFileX: Write MELoadFile Command Error !!"));
  EXPECT_EQ(working[kMs1AdjustOffset], 13);
  EXPECT_EQ(Eeprom(kMs1AdjustOffset), 10);
}

TEST_P(AlignmentTest, BiAdjustThatDoesNotVerifyIsToldUnderTheModesCaption) {
  rig.printer.faults() = EepromDoesNotStick();
  rig.op.QueueDialog(Offset(2, kOk));
  EXPECT_EQ(RunBiAdjust(3), kAdjustNotVerified);
  EXPECT_THAT(Told(rig), ElementsAre("ECN: Write EEPROM Error !!"));
}

}  // namespace
}  // namespace tarvo
