#include "operators/terminal_operator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "dialogs/input_id_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/value_entry_dialog.h"

namespace tarvo {
namespace {

struct Terminal {
  explicit Terminal(const std::string& input) : in(input), op(in, out, transcript) {}
  std::istringstream in;
  std::ostringstream out;
  MemoryLineSink transcript;
  TerminalOperator op;
};

TEST(TerminalOperator, MessageBoxes) {
  Terminal t("\nmaybe\nY\n");
  EXPECT_EQ(t.op.Show({"Print Off line !!", "ERROR", Icon::kError, Buttons::kOk}), Reply::kOk);
  EXPECT_EQ(t.op.Show({"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo}),
            Reply::kYes);
  EXPECT_NE(t.out.str().find("[ERROR] (error)\nPrint Off line !!"), std::string::npos);
  EXPECT_EQ(t.transcript.lines(),
            (std::vector<std::string>{"message ERROR: Print Off line !!", "< ok",
                                      "message EXIT: Do you want to exit !?", "< yes"}));
}

TEST(TerminalOperator, OkBoxesAfterTheEndOfInputAreTakenAsReadQuestionsAreNot) {
  Terminal t("");
  EXPECT_EQ(t.op.Show({"Print Off line !!", "ERROR", Icon::kError, Buttons::kOk}), Reply::kOk);
  EXPECT_EQ(t.op.Show({"Completed !!", "Ink DisCharge", Icon::kInformation, Buttons::kOk}),
            Reply::kOk);
  EXPECT_THROW(t.op.Show({"DisCharge Again?", "DisMessage", Icon::kInformation, Buttons::kYesNo}),
               OperatorAborted);
}

TEST(TerminalOperator, DialogRefusalIsShownAndAskedAgain) {
  Terminal t("enter ab\nwhat\nset Head ID=ab12cd\n\n");
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  EXPECT_EQ(t.op.ShowDialog(dialog), DialogResult::kOk);
  EXPECT_EQ(dialog.text, "AB12CD");
  std::string shown = t.out.str();
  EXPECT_NE(shown.find("-- Input Head ID (dialog 179) --"), std::string::npos);
  EXPECT_NE(shown.find("Head ID : [ab]"), std::string::npos);
  EXPECT_NE(shown.find("Length of Head ID must be 6 !!"), std::string::npos);
  EXPECT_NE(shown.find("? not an answer to this dialog"), std::string::npos);
  EXPECT_EQ(t.transcript.lines(),
            (std::vector<std::string>{"dialog 179 Input Head ID", "< enter ab",
                                      "refused Error: Length of Head ID must be 6 !!", "< what",
                                      "< set Head ID=ab12cd", "< (Enter)", "closed OK"}));
}

TEST(TerminalOperator, EnterPressesTheDefaultButton) {
  Terminal t("set Value=4\n\n");
  ValueEntryDialog dialog;
  EXPECT_EQ(t.op.ShowDialog(dialog), DialogResult::kCancel);  // RePrint
  EXPECT_EQ(dialog.running_total, 4);
  EXPECT_NE(t.out.str().find("[RePrint]*"), std::string::npos);
}

TEST(TerminalOperator, ShowsDisabledControlsAndLists) {
  Terminal t("set Motor Type=PF\ncancel\n");
  MotorMoveDialog dialog;
  EXPECT_EQ(t.op.ShowDialog(dialog), DialogResult::kCancel);
  std::string shown = t.out.str();
  EXPECT_NE(shown.find("Motor Type: (*) CR ( ) PF"), std::string::npos);
  EXPECT_NE(shown.find("Speed Mode : <Mode 0> of: Mode 0, Mode 1"), std::string::npos);
  EXPECT_NE(shown.find("Position: (*) C ( ) CL"), std::string::npos);
  EXPECT_NE(shown.find("(disabled)"), std::string::npos);
}

TEST(TerminalOperator, FilesAndEndOfInput) {
  Terminal t("  a.rom \n\n");
  EXPECT_EQ(t.op.ChooseFile({false, "All Files|*.*||"}), "a.rom");
  EXPECT_EQ(t.op.ChooseFile({false, "All Files|*.*||"}), std::nullopt);
  InputIdDialog dialog(InputIdDialog::Kind::kMachineNo);
  try {
    t.op.ShowDialog(dialog);
    FAIL() << "no abort";
  } catch (const OperatorAborted& e) {
    EXPECT_STREQ(e.what(), "input ended at dialog 188 \"Input Machine No.\"");
  }
  EXPECT_EQ(t.transcript.lines()[1], "< file a.rom");
  EXPECT_EQ(t.transcript.lines()[3], "< cancel");
}

TEST(TerminalOperator, CountdownNamesTheWaitItWasToldOfUntilItEnds) {
  Terminal t("");
  WaitObserver& waits = t.op;
  waits.Begins("Greasing", 12000);
  t.op.WaitStarts(12000);
  t.op.WaitEnds();
  waits.Ends();
  t.op.WaitStarts(3000);
  t.op.WaitEnds();
  const std::string shown = t.out.str();
  EXPECT_NE(shown.find("\rGreasing - Waiting 12 s ..."), std::string::npos);
  EXPECT_NE(shown.find("\rWaiting 3 s ..."), std::string::npos);  // no name told: none shown
}

TEST(TerminalOperator, CountdownStopsWhenTheWaitEnds) {
  Terminal t("");
  t.op.OpenWaitWindow({190, "Printer Busy", "Printer Busy...Please Wait !!"});
  t.op.WaitStarts(10000);
  t.op.WaitEnds();  // a virtual clock ends the wait at once: nothing may linger
  t.op.WaitStarts(1500);
  t.op.WaitEnds();
  t.op.WaitStarts(3000);  // never ended: the next prompt or the destructor stops it
  t.op.CloseWaitWindow();
  std::string shown = t.out.str();
  EXPECT_NE(shown.find("Waiting 10 s"), std::string::npos);
  EXPECT_EQ(shown.find("Waiting 2 s"), std::string::npos);  // 1.5 s gets no countdown
  EXPECT_NE(shown.find("Waiting 3 s"), std::string::npos);
  EXPECT_NE(shown.find("[Printer Busy] closed"), std::string::npos);
  EXPECT_EQ(
      t.transcript.lines(),
      (std::vector<std::string>{"window Printer Busy: Printer Busy...Please Wait !!",
                                "wait 10000 ms", "wait 1500 ms", "wait 3000 ms", "window closed"}));
}

TEST(TerminalOperator, TransferProgressStaysOnOneLineAndEndsIt) {
  Terminal t("");
  t.op.TransferProgress(0, 1000);
  t.op.TransferProgress(4, 1000);  // still 0 %: not printed again
  t.op.TransferProgress(500, 1000);
  t.op.TransferProgress(1000, 1000);
  EXPECT_EQ(t.out.str(),
            "\rSent 0 % (0 of 1000 bytes)   \rSent 50 % (500 of 1000 bytes)   "
            "\rSent 100 % (1000 of 1000 bytes)   \n");
  EXPECT_TRUE(t.transcript.lines().empty());
}

}  // namespace
}  // namespace tarvo
