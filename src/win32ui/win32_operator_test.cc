// The operator's windows driven through the real Win32 views, without a person: the robot
// (window_robot_test.h) types and clicks in them from inside their own message loops, and the
// tests check what the models, the replies and the transcript received.
#include "win32ui/win32_operator.h"

#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "base/line_sink.h"
#include "base/wait_windows.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "win32ui/wide_text.h"
#include "win32ui/window_robot_test.h"

namespace tarvo::win32ui {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace testing;

class Win32OperatorTest : public ::testing::Test {
 protected:
  MemoryLineSink transcript_;
  Win32Operator op_{kLibraryEdition, transcript_};
};

TEST_F(Win32OperatorTest, ARefusedEntryShowsItsBoxThenFocusesTheBoxWithItsTextSelected) {
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  std::vector<std::wstring> box_texts;
  HWND focus = nullptr, edit = nullptr;
  DWORD from = 1, to = 0;
  Robot robot;
  robot
      .When(L"Input Head ID",
            [](HWND dlg) {
              Type(dlg, 1185, L"AB-12C");
              Click(dlg, IDOK);
            })
      .When(L"Error",
            [&](HWND box) {
              box_texts = StaticTexts(box);
              Click(box, IDOK);
            })
      .When(L"Input Head ID", [&](HWND dlg) {
        edit = GetDlgItem(dlg, 1185);
        focus = GetFocus();
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        Type(dlg, 1185, L"ab12cd");
        Click(dlg, IDOK);
      });
  EXPECT_EQ(op_.ShowDialog(dialog), DialogResult::kOk);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_EQ(dialog.text, "AB12CD");
  EXPECT_THAT(box_texts, ElementsAre(L"Head ID Error !!"));
  EXPECT_EQ(focus, edit);
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 6u);
  EXPECT_THAT(transcript_.lines(), ElementsAre("dialog 179 Input Head ID", "< set Head ID=AB-12C",
                                               "< ok", "refused Error: Head ID Error !!",
                                               "< set Head ID=ab12cd", "< ok", "closed OK"));
}

TEST_F(Win32OperatorTest, EnterPressesTheDefaultButtonAndEscCancels) {
  ValueEntryDialog value;
  value.caption_text = "MS1";
  Robot robot;
  robot.When(L"MS1", [](HWND dlg) {
    Type(dlg, ValueEntryDialog::kValueId, L"5");
    // Enter in the edit box goes through the dialog's own loop to the default button, RePrint.
    PostMessageW(GetDlgItem(dlg, ValueEntryDialog::kValueId), WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ(op_.ShowDialog(value), DialogResult::kCancel);
  ASSERT_TRUE(robot.done());
  EXPECT_EQ(value.running_total, 5);
  EXPECT_EQ(value.reprint, 1);

  InspectionDialog inspection(0);
  robot.When(L"G0S A4", [](HWND dlg) {
    Click(dlg, 1137 + 2 * 8);  // row I-9: Fail
    PostMessageW(GetDlgItem(dlg, 1136), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(op_.ShowDialog(inspection), DialogResult::kCancel);
  ASSERT_TRUE(robot.done());
  EXPECT_THAT(inspection.verdicts, ::testing::Each(0));
  EXPECT_THAT(transcript_.lines(),
              ElementsAre("dialog 189 MS1", "< set Value=5", "< reprint", "closed Cancel",
                          "dialog 205 G0S A4", "< set I-9=Fail", "< cancel", "closed Cancel"));
}

TEST_F(Win32OperatorTest, ChangingARadioGroupOrListLetsTheModelRefillAndDisableControls) {
  MotorMoveDialog dialog;
  LRESULT cr_modes = 0, pf_modes = 0;
  BOOL position_enabled = TRUE;
  Robot robot;
  robot.When(L"Motor Move", [&](HWND dlg) {
    HWND speed = GetDlgItem(dlg, MotorMoveDialog::kSpeedId);
    cr_modes = SendMessageW(speed, CB_GETCOUNT, 0, 0);
    Click(dlg, 1137);  // PF
    pf_modes = SendMessageW(speed, CB_GETCOUNT, 0, 0);
    position_enabled = IsWindowEnabled(GetDlgItem(dlg, 1140));
    // "Mode 9", chosen as the operator chooses it: the list tells the dialog.
    SendMessageW(speed, CB_SETCURSEL, 9, 0);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(MotorMoveDialog::kSpeedId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(speed));
    // Clicking "PF" again changes nothing: the list keeps the mode chosen.
    Click(dlg, 1137);
    Type(dlg, MotorMoveDialog::kStepId, L"120");
    Click(dlg, IDOK);
  });
  EXPECT_EQ(op_.ShowDialog(dialog), DialogResult::kOk);
  ASSERT_TRUE(robot.done());
  EXPECT_EQ(cr_modes, 7);
  EXPECT_EQ(pf_modes, 10);
  EXPECT_FALSE(position_enabled);
  EXPECT_EQ(dialog.motor, 1);
  EXPECT_EQ(dialog.speed_mode, 9);
  EXPECT_EQ(dialog.step, 120);
  EXPECT_EQ(transcript_.lines().at(1), "< set Motor Type=PF Speed Mode=Mode 9 Step=120");
}

TEST_F(Win32OperatorTest, TheLibrarysChineseTextsReachTheWindowsWhole) {
  DisMessageDialog dis(kLibraryEdition);
  std::vector<std::wstring> texts;
  std::wstring no;
  Robot robot;
  robot.When(L"DisMessage", [&](HWND dlg) {
    texts = StaticTexts(dlg);
    no = ItemText(dlg, IDCANCEL);
    Click(dlg, IDCANCEL);
  });
  EXPECT_EQ(op_.ShowDialog(dis), DialogResult::kCancel);
  ASSERT_TRUE(robot.done());
  EXPECT_THAT(texts, ElementsAre(L"請等馬達靜止後再選擇", L"再一次排墨?"));
  EXPECT_EQ(no, L"No");

  Reply reply = Reply::kOk;
  robot.When(L"ERROR", [&](HWND box) {
    texts = StaticTexts(box);
    EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST)
        << std::hex << GetWindowLongW(box, GWL_EXSTYLE) << " " << GetWindowLongW(box, GWL_STYLE);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    Click(box, IDOK);
  });
  reply = op_.Show({"印表機離線!!", "ERROR", Icon::kError, Buttons::kOk});
  ASSERT_TRUE(robot.done());
  EXPECT_EQ(reply, Reply::kOk);
  EXPECT_THAT(texts, ElementsAre(L"印表機離線!!"));
}

TEST_F(Win32OperatorTest, MessageBoxesHaveTheButtonsAskedFor) {
  bool has_yes = false, has_ok = true;
  Robot robot;
  robot.When(L"EXIT", [&](HWND box) {
    has_yes = GetDlgItem(box, IDYES) != nullptr;
    has_ok = GetDlgItem(box, IDOK) != nullptr;
    Click(box, IDNO);
  });
  EXPECT_EQ(op_.Show({"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo}),
            Reply::kNo);
  ASSERT_TRUE(robot.done());
  EXPECT_TRUE(has_yes);
  EXPECT_FALSE(has_ok);
  robot.When(L"EXIT", [](HWND box) { Click(box, IDYES); });
  EXPECT_EQ(op_.Show({"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo}),
            Reply::kYes);
  EXPECT_THAT(transcript_.lines(), ElementsAre("message EXIT: Do you want to exit !?", "< no",
                                               "message EXIT: Do you want to exit !?", "< yes"));
}

TEST_F(Win32OperatorTest, AnEepromImageConfirmedUnchangedStaysAsItWas) {
  EepromDataDialog eeprom(kLibraryEdition);
  std::array<uint8_t, kRomImageSize> image{};
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
  eeprom.LoadFrom(image);
  size_t edits = 0;
  Robot robot;
  robot.When(L"EEPROM Data", [&](HWND dlg) {
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[16] = {};
      GetClassNameW(c, cls, 16);
      if (lstrcmpiW(cls, L"Edit") == 0) ++edits;
    }
    Click(dlg, IDOK);
  });
  EXPECT_EQ(op_.ShowDialog(eeprom), DialogResult::kOk);
  ASSERT_TRUE(robot.done());
  EXPECT_EQ(edits, 45u);
  std::array<uint8_t, kRomImageSize> stored = image;
  EXPECT_TRUE(eeprom.StoreInto(stored));
  EXPECT_EQ(stored, image);
}

TEST_F(Win32OperatorTest, AWaitWindowIsPaintedCountsDownAndGoes) {
  op_.OpenWaitWindow(ConnectWindow(kLibraryEdition));
  ASSERT_NE(op_.wait_window(), nullptr);
  HWND window = op_.wait_window()->hwnd();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(WindowText(window), L"Connect");
  EXPECT_EQ(ItemText(window, WaitWindowView::kTextId), L"連線中....請稍等 !!");
  EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_SYSMENU);  // no close box
  // Painted already: nothing is left to paint before the caller blocks.
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  EXPECT_EQ(op_.wait_window()->countdown_text(), L"");

  op_.WaitStarts(66'000);
  EXPECT_EQ(op_.wait_window()->countdown_text(), L"66 s");
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  op_.WaitEnds();
  EXPECT_EQ(op_.wait_window()->countdown_text(), L"");
  op_.TransferProgress(420, 1000);
  EXPECT_EQ(op_.wait_window()->progress_permille(), 420);
  EXPECT_FALSE(op_.shows_transfer_window());

  op_.CloseWaitWindow();
  EXPECT_EQ(op_.wait_window(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_THAT(transcript_.lines(),
              ElementsAre("window Connect: 連線中....請稍等 !!", "wait 66000 ms", "window closed"));
}

TEST_F(Win32OperatorTest, AFileSentOutsideAWaitWindowGetsAWindowOfItsOwnUntilItHasGone) {
  op_.TransferProgress(0, 10'000'000);
  ASSERT_NE(op_.wait_window(), nullptr);
  EXPECT_TRUE(op_.shows_transfer_window());
  HWND window = op_.wait_window()->hwnd();
  EXPECT_EQ(WindowText(window), L"MELoadFile");
  EXPECT_EQ(ItemText(window, WaitWindowView::kTextId), L"傳送檔案中....請稍等 !!");
  op_.TransferProgress(4'200'000, 10'000'000);
  EXPECT_EQ(op_.wait_window()->progress_permille(), 420);
  EXPECT_EQ(op_.wait_window()->countdown_text(), L"42 %");
  op_.TransferProgress(10'000'000, 10'000'000);
  EXPECT_EQ(op_.wait_window(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_THAT(transcript_.lines(), IsEmpty());  // the transfer window is no wait window
}

TEST_F(Win32OperatorTest, AStopRequestEndsTheQuestionsBeforeAWindowOpens) {
  StopRequest stop;
  op_.set_stop(&stop);
  stop.Request();
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  EXPECT_THROW(op_.ShowDialog(dialog), OperationStopped);
  EXPECT_THROW(op_.Show({"x", "y", Icon::kError, Buttons::kOk}), OperationStopped);
  EXPECT_THROW(op_.ChooseFile({}), OperationStopped);
  // Closing stays possible while the operation unwinds.
  op_.OpenWaitWindow(PrinterBusyWindow(kLibraryEdition));
  op_.CloseWaitWindow();
  EXPECT_EQ(op_.wait_window(), nullptr);
}

// The common file dialog: its file name box (cmb13, or edt1 in the old style) takes the path.
void ChooseInFileDialog(HWND dlg, const std::wstring& path) {
  const int box = GetDlgItem(dlg, 0x47c) ? 0x47c : 0x480;
  Type(dlg, box, path);
  Click(dlg, IDOK);
}

TEST_F(Win32OperatorTest, TheFileDialogsHandBackTheChosenPathOrNothing) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path file =
      std::filesystem::path(temp) /
      ("tarvo-chooser-" + std::to_string(GetCurrentProcessId()) + ".bin");
  std::ofstream(file) << "image";
  const std::wstring path = file.wstring();

  Robot robot;
  robot.When(L"Open", [&](HWND dlg) { ChooseInFileDialog(dlg, path); });
  std::optional<std::string> chosen =
      op_.ChooseFile({false, "Bin Files (*.bin)|*.bin|All Files (*.*)|*.*||"});
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(lstrcmpiW(Wide(*chosen).c_str(), path.c_str()), 0) << *chosen;

  robot.When(L"Save As", [](HWND dlg) { Click(dlg, IDCANCEL); });
  EXPECT_EQ(op_.ChooseFile({true, "Bin Files (*.bin)|*.bin||"}), std::nullopt);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  std::filesystem::remove(file);
  ASSERT_EQ(transcript_.lines().size(), 4u);
  EXPECT_EQ(transcript_.lines()[0], "file open Bin Files (*.bin)|*.bin|All Files (*.*)|*.*||");
  EXPECT_EQ(transcript_.lines()[1], "< file " + *chosen);
  EXPECT_THAT(transcript_.lines()[3], "< cancel");
}

}  // namespace
}  // namespace tarvo::win32ui
