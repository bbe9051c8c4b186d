#include "dialogs/station_prompts.h"

#include <gtest/gtest.h>

#include <array>

#include "dialogs/dis_message_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "operators/recording_operator.h"

namespace tarvo {
namespace {

int PressOk(DialogModel&) {
  return DialogModel::kOkId;
}
int PressCancel(DialogModel&) {
  return DialogModel::kCancelId;
}

TEST(PassFailPrompt, PassFailAndEsc) {
  RecordingOperator op;
  op.QueueDialog(PressOk);
  EXPECT_EQ(PassFailPrompt(op, "Nozzle Check"), 1);
  op.QueueDialog(PressCancel);  // "FAIL", Esc and the close box all press the cancel button
  EXPECT_EQ(PassFailPrompt(op, "Nozzle Check"), 0);
  EXPECT_EQ(op.events()[0], "dialog 203 Nozzle Check");
}

TEST(VisualInspection, RowsStartAtPassAndOneFailedRowFails) {
  RecordingOperator op;
  std::array<uint8_t, 9> verdicts{};
  op.QueueDialog(PressOk);
  EXPECT_EQ(VisualInspection(op, 0, verdicts), 1);
  EXPECT_EQ(verdicts, (std::array<uint8_t, 9>{1, 1, 1, 1, 1, 1, 1, 1, 1}));

  op.QueueDialog([](DialogModel& d) {
    Control* last = d.control(1136 + 2 * 8);  // "I-9"
    EXPECT_EQ(last->label, "I-9");
    EXPECT_EQ(last->option_ids, (std::vector<int>{1152, 1153}));
    last->selected = 1;
    return DialogModel::kOkId;
  });
  EXPECT_EQ(VisualInspection(op, 0, verdicts), 0);
  EXPECT_EQ(verdicts, (std::array<uint8_t, 9>{1, 1, 1, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(op.events()[0], "dialog 205 G0S A4");
}

TEST(VisualInspection, KindsCaptionsAndDismissal) {
  const std::pair<int, std::string> kinds[] = {{1, "dialog 206 S/F Letter"},
                                               {2, "dialog 206 Photo"},
                                               {3, "dialog 207 Post Card"},
                                               {4, "dialog 206 Envelope"}};
  for (const auto& [kind, event] : kinds) {
    RecordingOperator op;
    std::array<uint8_t, 2> verdicts{7, 7};
    op.QueueDialog(PressOk);
    EXPECT_EQ(VisualInspection(op, kind, verdicts), 1);
    EXPECT_EQ(op.events()[0], event);
    EXPECT_EQ(InspectionDialog::RowCount(kind), kind == 3 ? 1u : 2u);
  }
  // Dismissed without OK: nobody confirmed the chart, so it fails.
  RecordingOperator op;
  std::array<uint8_t, 2> verdicts{7, 7};
  EXPECT_EQ(VisualInspection(op, 1, verdicts), 0);
  EXPECT_EQ(verdicts, (std::array<uint8_t, 2>{0, 0}));
  // An unknown kind shows nothing and fails.
  EXPECT_EQ(VisualInspection(op, 5, verdicts), 0);
  EXPECT_EQ(op.dialogs_shown().size(), 1u);
}

TEST(VisualInspection, AShortBufferCannotHideAFailedRow) {
  RecordingOperator op;
  op.QueueDialog([](DialogModel& d) {
    d.control(1136 + 2 * 5)->selected = 1;
    return DialogModel::kOkId;
  });
  std::array<uint8_t, 2> verdicts{};
  EXPECT_EQ(VisualInspection(op, 0, verdicts), 0);
  EXPECT_EQ(verdicts, (std::array<uint8_t, 2>{1, 1}));
}

TEST(InputMachine, CopiesIntoTheChartLabelOnOkOnly) {
  ChartLabelBytes filled;
  filled.fill(0xEE);
  ChartLabel label = ChartLabel::Decode(filled);
  RecordingOperator op;
  op.QueueDialog([](DialogModel& d) {
    d.control(1185)->text = "m0001";
    return DialogModel::kOkId;
  });
  EXPECT_TRUE(InputMachineNo(op, label));
  op.QueueDialog([](DialogModel& d) {
    d.control(1182)->text = "x123456789012";
    return DialogModel::kOkId;
  });
  EXPECT_TRUE(InputMachineId(op, label));
  const ChartLabelBytes bytes = label.Encode();
  EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 20), "M0001X123456789012");
  EXPECT_EQ(bytes[0], 0xEE);
  EXPECT_EQ(bytes[1], 0xEE);
  EXPECT_EQ(bytes[20], 0xEE);

  ChartLabel before = label;
  op.QueueDialog([](DialogModel& d) {
    d.control(1185)->text = "99999";
    return DialogModel::kCancelId;
  });
  EXPECT_FALSE(InputMachineNo(op, label));
  EXPECT_FALSE(InputMachineId(op, label));  // no answer queued: Cancel
  EXPECT_EQ(label, before);
}

TEST(RecordingOperator, AnswersInScriptWords) {
  RecordingOperator op;
  op.QueueDialogLine("enter 12");
  op.QueueDialogLine("enter a1234");
  op.QueueDialogLine("choose 7");
  ChartLabel label;
  EXPECT_TRUE(InputMachineNo(op, label));
  EXPECT_EQ(op.refusals().size(), 1u);
  EXPECT_EQ(std::string(label.machine_no.begin(), label.machine_no.end()), "A1234");
  EXPECT_THROW(PassFailPrompt(op, "Grease"), OperatorAborted);
}

TEST(DisMessageDialog, BothEditions) {
  DisMessageDialog program(kProgramEdition);
  program.Load();
  EXPECT_EQ(program.id(), 200);
  EXPECT_EQ(program.caption(), "DisMessage");
  ASSERT_EQ(program.controls().size(), 3u);
  EXPECT_EQ(program.controls()[0].label, "DisCharge Again?");
  EXPECT_EQ(program.control(DialogModel::kOkId)->label, "Yes");
  EXPECT_EQ(program.control(DialogModel::kCancelId)->label, "No");
  EXPECT_EQ(*program.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  EXPECT_EQ(*program.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);

  DisMessageDialog library(kLibraryEdition);
  library.Load();
  ASSERT_EQ(library.controls().size(), 4u);
  EXPECT_EQ(library.controls()[0].label, "請等馬達靜止後再選擇");
  EXPECT_EQ(library.controls()[1].label, "再一次排墨?");
}

}  // namespace
}  // namespace tarvo
