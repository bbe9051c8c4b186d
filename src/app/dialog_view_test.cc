#include "app/dialog_view.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/modal_answer_test.h"
#include "dialogs/charge_dialog.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/motor_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/pass_fail_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "operators/transcript_lines.h"

using namespace tarvo;
using namespace tarvo::app;

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

struct Case {
  const char* name;
  std::function<std::unique_ptr<DialogModel>()> make;
  const char* caption;
  QStringList texts;  // texts that must be shown somewhere in the dialog
};

std::vector<Case> AllDialogs() {
  auto value_entry = [] {
    auto d = std::make_unique<ValueEntryDialog>();
    d->caption_text = "MS1";
    return d;
  };
  auto pass_fail = [] {
    auto d = std::make_unique<PassFailDialog>();
    d->caption_text = "Nozzle Check";
    return d;
  };
  auto inspection = [](int kind) {
    return [kind] { return std::make_unique<InspectionDialog>(kind); };
  };
  return {
      {"head id",
       [] { return std::make_unique<InputIdDialog>(InputIdDialog::Kind::kHeadId); },
       "Input Head ID",
       {"Head ID :", "OK"}},
      {"machine no",
       [] { return std::make_unique<InputIdDialog>(InputIdDialog::Kind::kMachineNo); },
       "Input Machine No.",
       {"Machine No. :", "OK"}},
      {"machine id",
       [] { return std::make_unique<InputIdDialog>(InputIdDialog::Kind::kMachineId); },
       "Input Machine ID",
       {"Machine ID :", "OK"}},
      {"value entry", value_entry, "MS1", {"Value :", "RePrint", "OK"}},
      {"tof",
       [] { return std::make_unique<TofAdjustDialog>(); },
       "TOF Adjustment",
       {"Adjust Value :", "2", "1", "0", "OK"}},
      {"charge", [] { return std::make_unique<ChargeDialog>(); }, "Charge", {"Charge :", "OK"}},
      {"fw version",
       [] { return std::make_unique<FwVersionDialog>(); },
       "FW Version",
       {"FW Version :", "OK"}},
      {"motor move",
       [] { return std::make_unique<MotorMoveDialog>(); },
       "Motor Move",
       {"Motor Type", "CR",     "PF",       "Direction", "CW",   "CCW",      "Speed Mode :",
        "Mode 1",     "Step :", "Position", "C",         "CL",   "R",        "L",
        "B",          "D",      "NULL",     "Type",      "HOME", "MoveOnly", "Spit",
        "OK",         "EXIT"}},
      {"motor",
       [] { return std::make_unique<MotorDialog>(); },
       "Motor",
       {"Lock", "Unlock", "Hold", "Release", "OK"}},
      {"power off",
       [] { return std::make_unique<PowerOffDialog>(); },
       "PowerOff",
       {"Not Set shipment data", "Set shipment data", "OK"}},
      {"pass fail", pass_fail, "Nozzle Check", {"PASS", "FAIL"}},
      {"g0s a4",
       inspection(0),
       "G0S A4",
       {"A-1", "B-2", "C-3", "D-4", "E-5", "F-6", "G-7", "H-8", "I-9", "Pass", "Fail", "OK"}},
      {"s/f letter", inspection(1), "S/F Letter", {"A-1", "B-2", "Pass", "Fail", "OK"}},
      {"photo", inspection(2), "Photo", {"A-1", "B-2", "OK"}},
      {"post card", inspection(3), "Post Card", {"A-1", "Pass", "Fail", "OK"}},
      {"envelope", inspection(4), "Envelope", {"A-1", "B-2", "OK"}},
      {"dis message",
       [] { return std::make_unique<DisMessageDialog>(kProgramEdition); },
       "DisMessage",
       {"DisCharge Again?", "Yes", "No"}},
      {"dis message library",
       [] { return std::make_unique<DisMessageDialog>(kLibraryEdition); },
       "DisMessage",
       {"再一次排墨?", "請等馬達靜止後再選擇", "Yes", "No"}},
      {"eeprom",
       [] { return std::make_unique<EepromDataDialog>(kProgramEdition); },
       "EEPROM Data",
       {"Model Name (CT)", "USB S/No.", "Print Head ID", "FW/Version", "Protection Counter A",
        "Unplug Acmlt", "TCL Condition", "FT Flag", "Last CL Time", "OK"}},
      {"eeprom library",
       [] { return std::make_unique<EepromDataDialog>(kLibraryEdition); },
       "EEPROM Data",
       {"Model Name (CT)", "FT Flag", "OK"}},
  };
}

// Every text a person sees in the view.
QStringList ShownTexts(QWidget* view) {
  QStringList texts;
  for (auto* l : view->findChildren<QLabel*>()) texts << l->text();
  for (auto* b : view->findChildren<QAbstractButton*>()) texts << b->text();
  for (auto* g : view->findChildren<QGroupBox*>()) texts << g->title();
  for (auto* c : view->findChildren<QComboBox*>()) {
    for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
  }
  return texts;
}

}  // namespace

class DialogViewTest : public QObject {
  Q_OBJECT

 private slots:
  void everyDialogShowsItsModelWithItsExactTexts();
  void refusedHeadIdKeepsTheDialogOpenWithFocusAndSelection();
  void emptyHeadIdPutsTheFocusWithoutSelecting();
  void escAndTheCloseBoxPressCancel();
  void choosingPfRefillsTheSpeedListAndDisablesPositionAndType();
  void eepromDataStandsInTwoColumns();
  void transcriptHearsTheChangesAndTheButton();
};

void DialogViewTest::everyDialogShowsItsModelWithItsExactTexts() {
  for (const Case& c : AllDialogs()) {
    auto model = c.make();
    DialogView view(*model);
    QCOMPARE(view.windowTitle(), QString(c.caption));
    const QStringList shown = ShownTexts(&view);
    for (const QString& text : c.texts) {
      QVERIFY2(shown.contains(text), qPrintable(QString("%1: no \"%2\"").arg(c.name, text)));
    }
    // One widget per control, found by its id, showing exactly the control.
    for (const Control& control : model->controls()) {
      const QString name = QString::number(control.id);
      switch (control.kind) {
        case ControlKind::kText:
        case ControlKind::kInteger:
        case ControlKind::kDecimal: {
          auto* edit = view.findChild<QLineEdit*>(name);
          QVERIFY2(edit, qPrintable(QString("%1: no edit %2").arg(c.name, name)));
          QCOMPARE(edit->text(), Q(control.text));
          QCOMPARE(edit->isReadOnly(), control.read_only);
          QCOMPARE(edit->isEnabled(), control.enabled);
          break;
        }
        case ControlKind::kRadio:
          for (size_t i = 0; i < control.options.size(); ++i) {
            auto* radio = view.findChild<QRadioButton*>(QString::number(control.option_ids[i]));
            QVERIFY(radio);
            QCOMPARE(radio->text(), Q(control.options[i]));
            QCOMPARE(radio->isChecked(), int(i) == control.selected);
          }
          QCOMPARE(view.findChild<QGroupBox*>("group:" + name)->title(), Q(control.label));
          break;
        case ControlKind::kList: {
          auto* list = view.findChild<QComboBox*>(name);
          QVERIFY(list);
          QCOMPARE(list->count(), int(control.options.size()));
          QCOMPARE(list->currentIndex(), control.selected);
          break;
        }
        case ControlKind::kButton: {
          auto* button = view.findChild<QPushButton*>(name);
          QVERIFY(button);
          QCOMPARE(button->text(), Q(control.label));
          QCOMPARE(button->isDefault(), control.id == model->default_button());
          break;
        }
        case ControlKind::kLabel:
          break;
      }
    }
  }
}

void DialogViewTest::refusedHeadIdKeepsTheDialogOpenWithFocusAndSelection() {
  InputIdDialog model(InputIdDialog::Kind::kHeadId);
  DialogView view(model);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  auto* edit = view.findChild<QLineEdit*>("1185");
  QTest::keyClicks(edit, "AB-12C");

  QString text, caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    caption = box->windowTitle();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(view.findChild<QPushButton*>("1"), Qt::LeftButton);
  QCOMPARE(text, QString("Head ID Error !!"));
  QCOMPARE(caption, QString("Error"));
  QCOMPARE(icon, QMessageBox::Critical);
  QVERIFY(view.isVisible());
  QCOMPARE(view.focusWidget(), edit);
  QCOMPARE(edit->selectedText(), QString("AB-12C"));
  QVERIFY(model.text.empty());

  // A good entry closes the dialog and shows the capitals.
  edit->setText("ab12cd");
  QTest::mouseClick(view.findChild<QPushButton*>("1"), Qt::LeftButton);
  QVERIFY(!view.isVisible());
  QCOMPARE(view.result_code(), DialogResult::kOk);
  QCOMPARE(model.text, std::string("AB12CD"));
  QCOMPARE(edit->text(), QString("AB12CD"));
}

void DialogViewTest::emptyHeadIdPutsTheFocusWithoutSelecting() {
  InputIdDialog model(InputIdDialog::Kind::kMachineId);
  DialogView view(model);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QString text;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    box->accept();
  });
  view.Press(DialogModel::kOkId);
  QCOMPARE(text, QString("Machine ID Can't be NULL !!"));
  auto* edit = view.findChild<QLineEdit*>("1182");
  QCOMPARE(view.focusWidget(), edit);
  QVERIFY(!edit->hasSelectedText());
  QVERIFY(view.isVisible());
}

void DialogViewTest::escAndTheCloseBoxPressCancel() {
  PassFailDialog model;
  model.caption_text = "Nozzle Check";
  DialogView view(model);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QTest::keyClick(&view, Qt::Key_Escape);
  QVERIFY(!view.isVisible());
  QCOMPARE(view.result_code(), DialogResult::kCancel);
  QCOMPARE(model.verdict, uint8_t(0));

  PassFailDialog pass;
  DialogView second(pass);
  second.show();
  QVERIFY(QTest::qWaitForWindowExposed(&second));
  QTest::keyClick(&second, Qt::Key_Return);  // PASS is the default button
  QCOMPARE(second.result_code(), DialogResult::kOk);
  QCOMPARE(pass.verdict, uint8_t(1));

  // The value entry's cancel button is "RePrint", which checks the value: Esc with a value out
  // of range is refused like the button, and the dialog stays.
  ValueEntryDialog value;
  value.caption_text = "VSD";
  DialogView third(value);
  third.show();
  QVERIFY(QTest::qWaitForWindowExposed(&third));
  third.findChild<QLineEdit*>("1182")->setText("16");
  QString text;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    box->accept();
  });
  third.close();  // the close box
  QCOMPARE(text, QString("Range: -15 ~ +15 !!"));
  QVERIFY(third.isVisible());
  third.findChild<QLineEdit*>("1182")->setText("5");
  third.close();
  QVERIFY(!third.isVisible());
  QCOMPARE(third.result_code(), DialogResult::kCancel);
  QCOMPARE(value.running_total, 5);
  QCOMPARE(value.reprint, 1);
}

void DialogViewTest::choosingPfRefillsTheSpeedListAndDisablesPositionAndType() {
  MotorMoveDialog model;
  DialogView view(model);
  view.show();
  auto* speed = view.findChild<QComboBox*>("1271");
  QCOMPARE(speed->count(), 7);
  QCOMPARE(speed->itemText(0), QString("Mode 1"));
  view.findChild<QRadioButton*>("1137")->click();  // PF
  QCOMPARE(speed->count(), 10);
  QCOMPARE(speed->itemText(9), QString("Mode 9"));
  for (int id = 1140; id <= 1149; ++id) {
    QVERIFY(!view.findChild<QRadioButton*>(QString::number(id))->isEnabled());
  }
  speed->setCurrentIndex(9);
  view.findChild<QLineEdit*>("1183")->setText("120");
  view.Press(DialogModel::kOkId);
  QCOMPARE(view.result_code(), DialogResult::kOk);
  QCOMPARE(model.motor, 1);
  QCOMPARE(model.speed_mode, 9);
  QCOMPARE(model.step, 120);

  MotorMoveDialog back;
  DialogView again(back);
  again.findChild<QRadioButton*>("1137")->click();
  again.findChild<QRadioButton*>("1136")->click();  // CR again
  QVERIFY(again.findChild<QRadioButton*>("1145")->isEnabled());
  QCOMPARE(again.findChild<QComboBox*>("1271")->count(), 7);
}

void DialogViewTest::eepromDataStandsInTwoColumns() {
  EepromDataDialog model(kProgramEdition);
  DialogView view(model);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QWidget* first = view.widget(1182);
  QWidget* second = view.widget(1206);
  QVERIFY(first && second);
  QVERIFY(second->mapTo(&view, QPoint()).x() > first->mapTo(&view, QPoint()).x() + first->width());
  QCOMPARE(view.findChildren<QLineEdit*>().size(), qsizetype(47));
  EepromDataDialog library(kLibraryEdition);
  DialogView library_view(library);
  QCOMPARE(library_view.findChildren<QLineEdit*>().size(), qsizetype(45));
}

void DialogViewTest::transcriptHearsTheChangesAndTheButton() {
  InspectionDialog model(0);
  std::vector<std::string> lines;
  DialogView::Observer observer;
  observer.pressed = [&](int button, const std::vector<Control>& shown) {
    for (const auto& line : transcript::PressEntries(model, shown, button)) lines.push_back(line);
  };
  DialogView view(model, nullptr, observer);
  view.findChild<QRadioButton*>("1153")->click();  // I-9 Fail
  view.Press(DialogModel::kOkId);
  QCOMPARE(lines, (std::vector<std::string>{"< set I-9=Fail", "< ok"}));
  QCOMPARE(model.verdicts.back(), uint8_t(0));
}

QTEST_MAIN(DialogViewTest)
#include "dialog_view_test.moc"
