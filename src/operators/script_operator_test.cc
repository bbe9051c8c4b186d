#include "operators/script_operator.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "base/wait_windows.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/station_prompts.h"
#include "dialogs/value_entry_dialog.h"

namespace tarvo {
namespace {

TEST(ScriptOperator, RefusedEntryThenRightOne) {
  MemoryLineSink transcript;
  ScriptOperator op(
      "# head ID for the new printer\n"
      "\n"
      "enter AB-12C\n"
      "   enter ab12cd\r\n",
      transcript);
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  EXPECT_EQ(op.ShowDialog(dialog), DialogResult::kOk);
  EXPECT_EQ(dialog.text, "AB12CD");
  EXPECT_EQ(op.lines_left(), 0u);
  EXPECT_EQ(
      transcript.lines(),
      (std::vector<std::string>{"dialog 179 Input Head ID", "< enter AB-12C",
                                "refused Error: Head ID Error !!", "< enter ab12cd", "closed OK"}));
}

TEST(ScriptOperator, RunningOutNamesThePrompt) {
  MemoryLineSink transcript;
  ScriptOperator op("ok\n", transcript, "station.script");
  Message box{"Print Off line !!", "ERROR", Icon::kError, Buttons::kOk};
  EXPECT_EQ(op.Show(box), Reply::kOk);
  InputIdDialog dialog(InputIdDialog::Kind::kMachineId);
  try {
    op.ShowDialog(dialog);
    FAIL() << "no abort";
  } catch (const OperatorAborted& e) {
    EXPECT_STREQ(e.what(),
                 "station.script ran out at dialog 204 \"Input Machine ID\" (after line 1)");
  }
  EXPECT_EQ(transcript.lines().front(), "message ERROR: Print Off line !!");
  EXPECT_EQ(transcript.lines()[1], "< ok");
  EXPECT_EQ(transcript.lines().back().rfind("aborted station.script ran out", 0), 0u);
}

TEST(ScriptOperator, ALineThatDoesNotFitAborts) {
  MemoryLineSink transcript;
  ScriptOperator op("\nyes\n", transcript);
  Message box{"Print Off line !!", "ERROR", Icon::kError, Buttons::kOk};
  try {
    op.Show(box);
    FAIL() << "no abort";
  } catch (const OperatorAborted& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("line 2 \"yes\" does not fit message box \"ERROR: Print Off line !!\""),
              std::string::npos)
        << what;
  }
  ScriptOperator op2("choose 1\n", transcript);
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  EXPECT_THROW(op2.ShowDialog(dialog), OperatorAborted);
}

TEST(ScriptOperator, AStationSequence) {
  MemoryLineSink transcript;
  ScriptOperator op(
      "yes\n"
      "enter m0001\n"
      "inspect pass pass pass pass pass pass pass pass fail\n"
      "reprint 16\n"
      "reprint 5\n"
      "set Value=-2\n"
      "ok\n"
      "file /tmp/a.rom\n"
      "cancel\n"
      "fail\n",
      transcript);
  Message question{"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo};
  EXPECT_EQ(op.Show(question), Reply::kYes);
  op.OpenWaitWindow(PrinterBusyWindow(kProgramEdition));
  op.WaitStarts(10000);
  op.WaitEnds();
  op.CloseWaitWindow();
  ChartLabel label;
  EXPECT_TRUE(InputMachineNo(op, label));
  std::array<uint8_t, 9> verdicts{};
  EXPECT_EQ(VisualInspection(op, 0, verdicts), 0);

  ValueEntryDialog value;
  value.caption_text = "MS1";
  EXPECT_EQ(op.ShowDialog(value), DialogResult::kCancel);
  EXPECT_EQ(value.reprint, 1);
  EXPECT_EQ(op.ShowDialog(value), DialogResult::kOk);
  EXPECT_EQ(value.running_total, 3);

  EXPECT_EQ(op.ChooseFile({}), "/tmp/a.rom");
  EXPECT_EQ(op.ChooseFile({true, "ROM Files|*.rom||"}), std::nullopt);
  EXPECT_EQ(PassFailPrompt(op, "Grease"), 0);

  const auto& t = transcript.lines();
  auto has = [&](const std::string& line) {
    return std::find(t.begin(), t.end(), line) != t.end();
  };
  EXPECT_TRUE(has("window Printer Busy: Printer Busy...Please Wait !!"));
  EXPECT_TRUE(has("wait 10000 ms"));
  EXPECT_TRUE(has("window closed"));
  EXPECT_TRUE(has("refused Error: Range: -15 ~ +15 !!"));
  EXPECT_TRUE(has("< set Value=-2"));
  EXPECT_TRUE(has("file save ROM Files|*.rom||"));
  EXPECT_TRUE(has("dialog 203 Grease"));
  EXPECT_EQ(t.back(), "closed Cancel");
}

TEST(ScriptOperator, FromFile) {
  MemoryLineSink transcript;
  EXPECT_FALSE(ScriptOperator::FromFile("/nonexistent/dir/x.script", transcript));
  auto path = std::filesystem::temp_directory_path() / "tarvo_dialogs_script_test.script";
  { std::ofstream(path) << "ok\n"; }
  std::optional<ScriptOperator> op = ScriptOperator::FromFile(path, transcript);
  std::filesystem::remove(path);
  ASSERT_TRUE(op);
  EXPECT_EQ(op->lines_left(), 1u);
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  try {
    op->ShowDialog(dialog);
    FAIL() << "no abort";
  } catch (const OperatorAborted& e) {
    EXPECT_NE(std::string(e.what()).find(path.string() + " ran out"), std::string::npos);
  }
}

}  // namespace
}  // namespace tarvo
