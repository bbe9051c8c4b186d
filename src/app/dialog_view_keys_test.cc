// The dialogs at the keyboard, as the station PCs' operators work them: keys sent to whatever has
// the focus, as a person's would be.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/dialog_view.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/station_setting_dialogs.h"
#include "dialogs/value_entry_dialog.h"

using namespace tarvo;
using namespace tarvo::app;

namespace {

// Shows the view as the active window, so that focus changes reach the widgets as they do on a
// screen.
bool ShowActive(DialogView& view) {
  view.show();
  view.activateWindow();
  return QTest::qWaitForWindowActive(&view);
}

void Key(DialogView& view, Qt::Key key) {
  QTest::keyClick(view.focusWidget(), key);
}

void Type(DialogView& view, const QString& text) {
  QTest::keyClicks(view.focusWidget(), text);
}

QImage Picture(QWidget* w) {
  return w->grab().toImage();
}

}  // namespace

class DialogViewKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void enterPressesTheFocusedButtonElseTheDefault();
  void discardingAnotherDischargeTakesTabAndEnter();
  void typingReplacesTheTextAnEditOpensWith();
  void aFocusedButtonShowsItsFrame();
  void settingsDialogsStartInTheFirstFieldToFill();
  void measurementUnitsStandBesideTheirBoxes();
};

void DialogViewKeysTest::enterPressesTheFocusedButtonElseTheDefault() {
  // Tab Tab to "OK" and Enter: OK, although "RePrint" is the dialog's default button.
  ValueEntryDialog model;
  model.caption_text = "MS1";
  DialogView view(model);
  QVERIFY(ShowActive(view));
  QCOMPARE(view.focusWidget(), view.widget(ValueEntryDialog::kValueId));
  Type(view, "-1");
  QCOMPARE(qobject_cast<QLineEdit*>(view.widget(ValueEntryDialog::kValueId))->text(),
           QString("-1"));
  Key(view, Qt::Key_Tab);
  QCOMPARE(view.focusWidget(), view.widget(ValueEntryDialog::kRePrintId));
  Key(view, Qt::Key_Tab);
  QCOMPARE(view.focusWidget(), view.widget(DialogModel::kOkId));
  QVERIFY(qobject_cast<QPushButton*>(view.widget(DialogModel::kOkId))->isDefault());
  QVERIFY(!qobject_cast<QPushButton*>(view.widget(ValueEntryDialog::kRePrintId))->isDefault());
  Key(view, Qt::Key_Return);
  QVERIFY(!view.isVisible());
  QCOMPARE(view.result_code(), DialogResult::kOk);
  QCOMPARE(model.running_total, -1);
  QCOMPARE(model.reprint, 0);

  // Enter with the focus in the edit box presses the default button, "RePrint"; so does Enter
  // after the focus went to "OK" and came back: the default returns with it.
  ValueEntryDialog again;
  again.caption_text = "MS2";
  DialogView second(again);
  QVERIFY(ShowActive(second));
  Type(second, "3");
  Key(second, Qt::Key_Tab);
  Key(second, Qt::Key_Tab);
  Key(second, Qt::Key_Backtab);
  Key(second, Qt::Key_Backtab);
  QCOMPARE(second.focusWidget(), second.widget(ValueEntryDialog::kValueId));
  QVERIFY(qobject_cast<QPushButton*>(second.widget(ValueEntryDialog::kRePrintId))->isDefault());
  QVERIFY(!qobject_cast<QPushButton*>(second.widget(DialogModel::kOkId))->isDefault());
  Key(second, Qt::Key_Enter);  // the keypad's Enter too
  QCOMPARE(second.result_code(), DialogResult::kCancel);
  QCOMPARE(again.running_total, 3);
  QCOMPARE(again.reprint, 1);
}

void DialogViewKeysTest::discardingAnotherDischargeTakesTabAndEnter() {
  DisMessageDialog model(kProgramEdition);
  DialogView view(model);
  QVERIFY(ShowActive(view));
  QCOMPARE(view.focusWidget(), view.widget(DialogModel::kOkId));  // "Yes"
  Key(view, Qt::Key_Tab);
  QCOMPARE(view.focusWidget(), view.widget(DialogModel::kCancelId));  // "No"
  Key(view, Qt::Key_Return);
  QVERIFY(!view.isVisible());
  QCOMPARE(view.result_code(), DialogResult::kCancel);

  DisMessageDialog yes(kLibraryEdition);
  DialogView second(yes);
  QVERIFY(ShowActive(second));
  Key(second, Qt::Key_Return);
  QCOMPARE(second.result_code(), DialogResult::kOk);
}

void DialogViewKeysTest::typingReplacesTheTextAnEditOpensWith() {
  // A fresh printer's head ID reads as six 0xFF characters.
  InputIdDialog model(InputIdDialog::Kind::kHeadId);
  model.text = "ÿÿÿÿÿÿ";
  DialogView view(model);
  QVERIFY(ShowActive(view));
  auto* edit = qobject_cast<QLineEdit*>(view.widget(1185));
  QCOMPARE(view.focusWidget(), edit);
  QCOMPARE(edit->selectedText(), QString::fromUtf8("ÿÿÿÿÿÿ"));
  Type(view, "AB12CD");
  QCOMPARE(edit->text(), QString("AB12CD"));
  Key(view, Qt::Key_Return);
  QCOMPARE(view.result_code(), DialogResult::kOk);
  QCOMPARE(model.text, std::string("AB12CD"));

  // Tab into a filled box selects its text as well: Tab to "OK" and back.
  InputIdDialog machine(InputIdDialog::Kind::kMachineNo);
  machine.text = "OLD12";
  DialogView second(machine);
  QVERIFY(ShowActive(second));
  Key(second, Qt::Key_Tab);
  Key(second, Qt::Key_Backtab);
  Type(second, "ab123");
  Key(second, Qt::Key_Return);
  QCOMPARE(second.result_code(), DialogResult::kOk);
  QCOMPARE(machine.text, std::string("AB123"));
}

void DialogViewKeysTest::aFocusedButtonShowsItsFrame() {
  // "OK" is the default button while the edit box has the focus and when it has the focus
  // itself: what differs between the two pictures is the focus, even when it came by a click.
  InputIdDialog model(InputIdDialog::Kind::kHeadId);
  DialogView view(model);
  QVERIFY(ShowActive(view));
  auto* ok = qobject_cast<QPushButton*>(view.widget(DialogModel::kOkId));
  QVERIFY(ok->isDefault());
  const QImage unfocused = Picture(ok);
  ok->setFocus(Qt::MouseFocusReason);
  QVERIFY(ok->hasFocus());
  QVERIFY(ok->isDefault());
  QVERIFY(Picture(ok) != unfocused);
}

void DialogViewKeysTest::settingsDialogsStartInTheFirstFieldToFill() {
  Station1Dialog station1;
  station1.current_belt = "OLD";
  station1.current_pc = "PC";
  station1.PresetFromCurrent();
  DialogView view(station1);
  QVERIFY(ShowActive(view));
  // The current setting stands in its own group, read-only; the focus passes it by.
  auto* current = view.findChild<QGroupBox*>("group:Current Setting");
  QVERIFY(current);
  QCOMPARE(current->title(), QString("Current Setting"));
  for (int id : {1182, 1183, 1184}) QVERIFY(current->isAncestorOf(view.widget(id)));
  for (int id : {1272, 1185, 1186}) QVERIFY(!current->isAncestorOf(view.widget(id)));
  QCOMPARE(view.focusWidget(), view.widget(Station1Dialog::kCustomerId));
  Key(view, Qt::Key_Tab);
  QCOMPARE(view.focusWidget(), view.widget(Station1Dialog::kBeltId));
  Type(view, "ab1");
  Key(view, Qt::Key_Tab);
  Type(view, "z9");
  Key(view, Qt::Key_Return);
  QCOMPARE(view.result_code(), DialogResult::kOk);
  QCOMPARE(station1.belt_name, std::string("AB1"));
  QCOMPARE(station1.pc_name, std::string("Z9"));

  // Station 2 at "IC": choosing "Jig No" puts the focus into the box with its text selected.
  Station2Dialog station2;
  station2.current_value = "CT";
  station2.PresetFromCurrent();
  DialogView second(station2);
  QVERIFY(ShowActive(second));
  QCOMPARE(second.focusWidget(), second.widget(Station2Dialog::kCustomerId));
  auto* box = qobject_cast<QLineEdit*>(second.widget(Station2Dialog::kJigNoId));
  box->setText("07");
  second.findChild<QRadioButton*>("1136")->click();
  QCOMPARE(second.focusWidget(), box);
  QCOMPARE(box->selectedText(), QString("07"));
  // Choosing a customer afterwards leaves the focus in the list.
  auto* customer = qobject_cast<QComboBox*>(second.widget(Station2Dialog::kCustomerId));
  customer->setFocus(Qt::MouseFocusReason);
  customer->setCurrentIndex(2);
  QCOMPARE(second.focusWidget(), customer);
}

void DialogViewKeysTest::measurementUnitsStandBesideTheirBoxes() {
  MeasureResultDialog model("Mono Measure", "KDot.prn", 33'708'960);
  DialogView view(model);
  QVERIFY(ShowActive(view));
  const std::pair<int, const char*> units[] = {
      {MeasureResultDialog::kBeforeId, "g"},   {MeasureResultDialog::kAfterId, "g"},
      {MeasureResultDialog::kMaximumId, "ng"}, {MeasureResultDialog::kMinimumId, "ng"},
      {MeasureResultDialog::kAverageId, "ng"},
  };
  for (const auto& [id, unit] : units) {
    QWidget* box = view.widget(id);
    auto* label = view.findChild<QLabel*>(QString("unit:%1").arg(id));
    QVERIFY2(label, unit);
    QCOMPARE(label->text(), QString(unit));
    const QRect at(box->mapTo(&view, QPoint()), box->size());
    const QRect unit_at(label->mapTo(&view, QPoint()), label->size());
    QVERIFY(unit_at.left() > at.right());
    QVERIFY(unit_at.top() < at.bottom() && unit_at.bottom() > at.top());  // on the box's row
  }
  // The focus starts in the first weight, ready to be typed over.
  QCOMPARE(view.focusWidget(), view.widget(MeasureResultDialog::kBeforeId));
  QCOMPARE(qobject_cast<QLineEdit*>(view.widget(MeasureResultDialog::kBeforeId))->selectedText(),
           QString("0"));
}

QTEST_MAIN(DialogViewKeysTest)
#include "dialog_view_keys_test.moc"
