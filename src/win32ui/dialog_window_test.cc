// The native dialogs at the keyboard: keys posted to the focused control go through the dialog's
// own message loop (IsDialogMessage), as a person's keys do.
#include "win32ui/dialog_window.h"

#include <gmock/gmock.h>

#include "dialogs/dis_message_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/station_setting_dialogs.h"
#include "dialogs/value_entry_dialog.h"
#include "win32ui/dialog_layout.h"
#include "win32ui/wide_text.h"
#include "win32ui/window_robot_test.h"

namespace tarvo::win32ui {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using namespace testing;

void Key(UINT vk) {
  PostMessageW(GetFocus(), WM_KEYDOWN, vk, 0);
}

void Chars(const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(GetFocus(), WM_CHAR, c, 0);
}

// The selection of the focused edit box.
std::pair<DWORD, DWORD> Selection() {
  DWORD from = 0, to = 0;
  SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
               reinterpret_cast<LPARAM>(&to));
  return {from, to};
}

bool IsDefault(HWND dialog, int id) {
  return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

TEST(DialogWindowKeys, EnterPressesTheFocusedButtonElseTheDefault) {
  ValueEntryDialog value;
  value.caption_text = "MS1";
  HWND focus = nullptr, edit = nullptr;
  int ok_focus = 0;
  std::pair<DWORD, DWORD> selection;
  bool ok_default = false, reprint_default = true;
  Robot robot;
  robot
      .When(L"MS1",
            [&](HWND dlg) {
              edit = GetDlgItem(dlg, ValueEntryDialog::kValueId);
              focus = GetFocus();
              selection = Selection();
              Chars(L"-1");
              Key(VK_TAB);
              Key(VK_TAB);
            })
      .When(L"MS1", [&](HWND dlg) {
        ok_focus = GetDlgCtrlID(GetFocus());
        ok_default = IsDefault(dlg, IDOK);
        reprint_default = IsDefault(dlg, ValueEntryDialog::kRePrintId);
        Key(VK_RETURN);
      });
  EXPECT_EQ(DialogWindow::Run(value, nullptr), DialogResult::kOk);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_EQ(focus, edit);
  EXPECT_EQ(selection, std::make_pair(DWORD{0}, DWORD{1}));  // "0", ready to be typed over
  EXPECT_EQ(ok_focus, IDOK);
  EXPECT_TRUE(ok_default);
  EXPECT_FALSE(reprint_default);
  EXPECT_EQ(value.running_total, -1);
  EXPECT_EQ(value.reprint, 0);

  // Back in the edit box, Enter presses the dialog's default button, "RePrint", again.
  ValueEntryDialog again;
  again.caption_text = "MS2";
  bool default_back = false;
  robot
      .When(L"MS2",
            [](HWND) {
              Chars(L"3");
              Key(VK_TAB);
              Key(VK_TAB);
            })
      .When(L"MS2", [](HWND) { Key(VK_TAB); })  // round to the edit box
      .When(L"MS2", [&](HWND dlg) {
        default_back = GetDlgCtrlID(GetFocus()) == ValueEntryDialog::kValueId &&
                       IsDefault(dlg, ValueEntryDialog::kRePrintId) && !IsDefault(dlg, IDOK);
        Key(VK_RETURN);
      });
  EXPECT_EQ(DialogWindow::Run(again, nullptr), DialogResult::kCancel);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_TRUE(default_back);
  EXPECT_EQ(again.running_total, 3);
  EXPECT_EQ(again.reprint, 1);
}

TEST(DialogWindowKeys, TabToNoAndEnterEndsTheDischarges) {
  DisMessageDialog dis(kProgramEdition);
  int first_focus = 0;
  LRESULT ui_state = -1;
  Robot robot;
  robot.When(L"DisMessage", [&](HWND dlg) {
    first_focus = GetDlgCtrlID(GetFocus());
    ui_state = SendMessageW(dlg, WM_QUERYUISTATE, 0, 0);
    Key(VK_TAB);
    Key(VK_RETURN);
  });
  EXPECT_EQ(DialogWindow::Run(dis, nullptr), DialogResult::kCancel);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_EQ(first_focus, IDOK);             // "Yes"
  EXPECT_EQ(ui_state & UISF_HIDEFOCUS, 0);  // the focus frame shows
}

TEST(DialogWindowKeys, TypingReplacesTheTextAnEditOpensWith) {
  InputIdDialog head(InputIdDialog::Kind::kHeadId);
  head.text = "ÿÿÿÿÿÿ";
  std::pair<DWORD, DWORD> selection;
  Robot robot;
  robot.When(L"Input Head ID", [&](HWND) {
    selection = Selection();
    Chars(L"AB12CD");
    Key(VK_RETURN);
  });
  EXPECT_EQ(DialogWindow::Run(head, nullptr), DialogResult::kOk);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_EQ(selection, std::make_pair(DWORD{0}, DWORD{6}));
  EXPECT_EQ(head.text, "AB12CD");
}

TEST(DialogWindowKeys, SettingsDialogsGroupTheCurrentSettingAndStartInTheFirstFieldToFill) {
  Station1Dialog station;
  station.current_belt = "OLD";
  station.current_pc = "PC";
  station.PresetFromCurrent();
  int first_focus = 0;
  std::wstring group;
  RECT group_at{}, current_at{}, new_at{};
  Robot robot;
  robot.When(L"Station1", [&](HWND dlg) {
    first_focus = GetDlgCtrlID(GetFocus());
    group = ItemText(dlg, GroupId(0));
    GetWindowRect(GetDlgItem(dlg, GroupId(0)), &group_at);
    GetWindowRect(GetDlgItem(dlg, Station1Dialog::kCurrentPcId), &current_at);
    GetWindowRect(GetDlgItem(dlg, Station1Dialog::kCustomerId), &new_at);
    Key(VK_TAB);  // to Belt Name, its "OLD" selected
  });
  // Each step's keys go to the control that has the focus once the step before has been handled.
  robot.When(L"Station1", [](HWND) {
    Chars(L"ab1");
    Key(VK_TAB);
  });
  robot.When(L"Station1", [](HWND) {
    Chars(L"z9");
    Key(VK_RETURN);
  });
  EXPECT_EQ(DialogWindow::Run(station, nullptr), DialogResult::kOk);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_EQ(first_focus, Station1Dialog::kCustomerId);
  EXPECT_EQ(group, L"Current Setting");
  EXPECT_LT(current_at.bottom, group_at.bottom);  // the current values inside the group box
  EXPECT_GT(new_at.top, group_at.bottom);         // the new ones below it
  EXPECT_EQ(station.belt_name, "AB1");
  EXPECT_EQ(station.pc_name, "Z9");

  // Station 2 at "IC": choosing "Jig No" puts the focus into the box with its text selected.
  Station2Dialog jig;
  jig.current_value = "CT";
  jig.PresetFromCurrent();
  int focus_after = 0;
  std::pair<DWORD, DWORD> selection;
  robot
      .When(L"Station2",
            [](HWND dlg) {
              Type(dlg, Station2Dialog::kJigNoId, L"07");
              Click(dlg, 1136);  // "Jig No"
            })
      .When(L"Station2", [&](HWND) {
        focus_after = GetDlgCtrlID(GetFocus());
        selection = Selection();
        Chars(L"k5");  // typed over the selected "07"
        Key(VK_RETURN);
      });
  EXPECT_EQ(DialogWindow::Run(jig, nullptr), DialogResult::kOk);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_EQ(focus_after, Station2Dialog::kJigNoId);
  EXPECT_EQ(selection, std::make_pair(DWORD{0}, DWORD{2}));
  EXPECT_EQ(jig.value, "K5");
}

TEST(DialogWindowKeys, MeasurementUnitsStandBesideTheirBoxes) {
  MeasureResultDialog measure("Mono Measure", "KDot.prn", 33'708'960);
  measure.Load();
  std::vector<std::wstring> units;
  std::vector<bool> beside;
  Robot robot;
  robot.When(L"Mono Measure", [&](HWND dlg) {
    const auto& controls = measure.controls();
    for (size_t i = 0; i < controls.size(); ++i) {
      if (controls[i].unit.empty()) continue;
      units.push_back(ItemText(dlg, UnitId(i)));
      RECT box{}, unit{};
      GetWindowRect(GetDlgItem(dlg, controls[i].id), &box);
      GetWindowRect(GetDlgItem(dlg, UnitId(i)), &unit);
      beside.push_back(unit.left >= box.right && unit.top < box.bottom && unit.bottom > box.top);
    }
    Click(dlg, IDOK);
  });
  EXPECT_EQ(DialogWindow::Run(measure, nullptr), DialogResult::kOk);
  ASSERT_TRUE(robot.done()) << "no window " << Utf8(robot.waiting_for());
  EXPECT_THAT(units, ElementsAre(L"g", L"g", L"ng", L"ng", L"ng"));
  EXPECT_THAT(beside, Each(true));
}

}  // namespace
}  // namespace tarvo::win32ui
