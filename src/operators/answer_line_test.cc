#include "operators/answer_line.h"

#include <gtest/gtest.h>

#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"

namespace tarvo {
namespace {

using Kind = DialogStep::Kind;

TEST(AnswerLine, ButtonsByNameWithAnEntry) {
  ValueEntryDialog dialog;
  dialog.Load();
  DialogStep step = ApplyDialogLine(dialog, "reprint 5");
  EXPECT_EQ(step.kind, Kind::kPress);
  EXPECT_EQ(step.button_id, ValueEntryDialog::kRePrintId);
  EXPECT_EQ(dialog.control(1182)->text, "5");
  step = ApplyDialogLine(dialog, "  OK   -2  ");
  EXPECT_EQ(step.button_id, DialogModel::kOkId);
  EXPECT_EQ(dialog.control(1182)->text, "-2");
  EXPECT_EQ(ApplyDialogLine(dialog, "cancel").button_id, DialogModel::kCancelId);
  EXPECT_EQ(ApplyDialogLine(dialog, "cancel now").kind, Kind::kMismatch);
  EXPECT_EQ(ApplyDialogLine(dialog, "yes").kind, Kind::kMismatch);
  EXPECT_EQ(ApplyDialogLine(dialog, "choose 1").kind, Kind::kMismatch);
}

TEST(AnswerLine, ButtonNamesWithBlanks) {
  MeasureResultDialog dialog("Mono Measure", "KDot.prn", 33'708'960);
  dialog.Load();
  EXPECT_EQ(ApplyDialogLine(dialog, "print file").button_id, MeasureResultDialog::kPrintFileId);
  EXPECT_EQ(ApplyDialogLine(dialog, "  Print   File ").kind, Kind::kMismatch);
  EXPECT_EQ(ApplyDialogLine(dialog, "measure").button_id, MeasureResultDialog::kMeasureId);
  EXPECT_EQ(ApplyDialogLine(dialog, "exit").button_id, MeasureResultDialog::kExitId);
  DialogStep step = ApplyDialogLine(dialog, "set Before Weight=25 After Weight=23.5");
  EXPECT_EQ(step.kind, Kind::kSet);
  EXPECT_EQ(dialog.control(MeasureResultDialog::kBeforeId)->text, "25");
  EXPECT_EQ(dialog.control(MeasureResultDialog::kAfterId)->text, "23.5");
  EXPECT_EQ(ApplyDialogLine(dialog, "set MAX THresold=60").kind, Kind::kMismatch);
}

TEST(AnswerLine, ChooseIsTheNumberShownElseTheIndex) {
  TofAdjustDialog tof;
  tof.Load();
  EXPECT_EQ(ApplyDialogLine(tof, "choose 2").kind, Kind::kPress);
  EXPECT_EQ(tof.control(TofAdjustDialog::kRadioId)->selected, 0);  // radio "2"
  ApplyDialogLine(tof, "choose 0");
  EXPECT_EQ(tof.control(TofAdjustDialog::kRadioId)->selected, 2);
  EXPECT_EQ(ApplyDialogLine(tof, "choose 3").kind, Kind::kMismatch);
  // The read-only value box takes no entry.
  EXPECT_EQ(ApplyDialogLine(tof, "enter 75").kind, Kind::kMismatch);

  MotorMoveDialog motor;
  motor.Load();
  ApplyDialogLine(motor, "choose 1");  // the first group is Motor Type: index 1 = PF
  EXPECT_EQ(motor.control(MotorMoveDialog::kSpeedId)->options.size(), 10u);
}

TEST(AnswerLine, MotorLineIgnoresDisabledControls) {
  MotorMoveDialog dialog;
  dialog.Load();
  DialogStep step = ApplyDialogLine(dialog, "motor PF CCW 9 1000 NULL MoveOnly");
  ASSERT_EQ(step.kind, Kind::kPress) << step.problem;
  dialog.Press(step.button_id);
  EXPECT_EQ(dialog.motor, 1);
  EXPECT_EQ(dialog.direction, 1);
  EXPECT_EQ(dialog.speed_mode, 9);
  EXPECT_EQ(dialog.step, 1000);
  EXPECT_EQ(dialog.position, 0);

  dialog.Load();
  step = ApplyDialogLine(dialog, "motor cr cw 7 12 d spit");
  ASSERT_EQ(step.kind, Kind::kPress) << step.problem;
  dialog.Press(step.button_id);
  EXPECT_EQ(dialog.speed_mode, 7);
  EXPECT_EQ(dialog.position, 5);
  EXPECT_EQ(dialog.type, 2);

  dialog.Load();
  EXPECT_EQ(ApplyDialogLine(dialog, "motor CR CW 8 12 D Spit").kind, Kind::kMismatch);
  EXPECT_EQ(ApplyDialogLine(dialog, "motor CR CW 1").kind, Kind::kMismatch);
}

TEST(AnswerLine, InspectAndAllRows) {
  InspectionDialog dialog(1);
  dialog.Load();
  EXPECT_EQ(ApplyDialogLine(dialog, "inspect pass").kind, Kind::kMismatch);
  EXPECT_EQ(ApplyDialogLine(dialog, "inspect pass maybe").kind, Kind::kMismatch);
  ASSERT_EQ(ApplyDialogLine(dialog, "inspect pass FAIL").kind, Kind::kPress);
  EXPECT_EQ(dialog.control(1138)->selected, 1);
  ASSERT_EQ(ApplyDialogLine(dialog, "pass").kind, Kind::kPress);
  EXPECT_EQ(dialog.control(1138)->selected, 0);
}

TEST(AnswerLine, FieldsByLabelsHoldingBlanks) {
  EepromDataDialog dialog(kProgramEdition);
  dialog.Load();
  DialogStep step =
      ApplyDialogLine(dialog, "fields usb s/no.=AB CD 12 ms1=-3 TCL=4 TCL Condition=9");
  ASSERT_EQ(step.kind, Kind::kPress) << step.problem;
  EXPECT_EQ(dialog.control(1183)->text, "AB CD 12");
  EXPECT_EQ(dialog.control(1185)->text, "-3");
  EXPECT_EQ(dialog.control(1215)->text, "4");
  EXPECT_EQ(dialog.control(1307)->text, "9");

  step = ApplyDialogLine(dialog, "set TOF = 2");
  EXPECT_EQ(step.kind, Kind::kSet);
  EXPECT_EQ(dialog.control(1189)->text, "2");
  step = ApplyDialogLine(dialog, "fields Nothing=1");
  EXPECT_EQ(step.kind, Kind::kMismatch);
  EXPECT_EQ(ApplyDialogLine(dialog, "fields").kind, Kind::kMismatch);
  // Edit boxes take printer text: a character of one byte goes in, one of more does not.
  EXPECT_EQ(ApplyDialogLine(dialog, "set USB S/No.=Café").kind, Kind::kSet);
  EXPECT_EQ(dialog.control(1183)->text, "Café");
  step = ApplyDialogLine(dialog, "set USB S/No.=5€");
  EXPECT_EQ(step.kind, Kind::kMismatch);
  EXPECT_NE(step.problem.find("one byte"), std::string::npos) << step.problem;
  EXPECT_EQ(dialog.control(1183)->text, "Café");

  // Labels of edit boxes are named without their colon; radio groups by their group name.
  ValueEntryDialog value;
  value.Load();
  EXPECT_EQ(ApplyDialogLine(value, "set Value=4").kind, Kind::kSet);
  EXPECT_EQ(value.control(1182)->text, "4");
  MotorMoveDialog motor;
  motor.Load();
  EXPECT_EQ(ApplyDialogLine(motor, "set Motor Type=PF").kind, Kind::kSet);
  EXPECT_EQ(ApplyDialogLine(motor, "set Position=C").kind, Kind::kMismatch);  // disabled
}

TEST(AnswerLine, MessagesAndFiles) {
  Message ok_box{"Print Off line !!", "ERROR", Icon::kError, Buttons::kOk};
  Message yes_no{"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo};
  EXPECT_EQ(MessageLine(ok_box, "OK"), Reply::kOk);
  EXPECT_EQ(MessageLine(ok_box, "yes"), std::nullopt);
  EXPECT_EQ(MessageLine(yes_no, "yes"), Reply::kYes);
  EXPECT_EQ(MessageLine(yes_no, "no"), Reply::kNo);
  EXPECT_EQ(MessageLine(yes_no, "cancel"), Reply::kNo);
  EXPECT_EQ(MessageLine(yes_no, "ok"), std::nullopt);

  FileStep file = FileLine("file  roms/a b.rom ");
  EXPECT_TRUE(file.fits);
  EXPECT_EQ(file.path, "roms/a b.rom");
  file = FileLine("cancel");
  EXPECT_TRUE(file.fits);
  EXPECT_FALSE(file.path);
  EXPECT_FALSE(FileLine("file").fits);
  EXPECT_EQ(OneLine("a\r\nb\nc"), "a\\nb\\nc");
}

}  // namespace
}  // namespace tarvo
