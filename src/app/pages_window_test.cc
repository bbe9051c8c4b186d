// The Setting, RD Setting and DotWeight pages in the program's window: their dialogs shown by the
// Qt operator from the device worker and answered through their widgets, as a person does.
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/app_runtime.h"
#include "app/dialog_view.h"
#include "app/main_window.h"
#include "app/modal_answer_test.h"
#include "operations/printer_options.h"

using namespace tarvo;
using namespace tarvo::app;

namespace {

std::unique_ptr<AppRuntime> SimRuntime(const QString& station_dir) {
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station_dir.toStdString();
  std::string error, notes;
  auto rt = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
  if (!rt) qFatal("runtime: %s", error.c_str());
  return rt;
}

QPushButton* PageButton(MainWindow& window, int page, int id) {
  return window.page(page)->findChild<QPushButton*>(QString::number(id));
}

}  // namespace

class PagesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void offsetEditorEnablesItsBoxesWithOnAndStoresOnApplyOnly();
  void inkEditorRefusesAValueOutsideAByteWithAMessage();
  void measurementDialogShowsTheLimitsInDisabledBoxes();
  void rdListHasNoSelectionAfterATabChange();
};

void PagesWindowTest::offsetEditorEnablesItsBoxesWithOnAndStoresOnApplyOnly() {
  QTemporaryDir dir;
  auto rt = SimRuntime(dir.path());
  WriteOffsetSettings(rt->settings(), {.disable = 1, .ms1 = 2});
  MainWindow window(*rt);
  window.show();
  window.sheet()->setCurrentIndex(1);
  bool opened_disabled = false, enabled_by_on = false;
  testing::WhenModal<DialogView>([&](DialogView* view) {
    QVERIFY(view->findChild<QRadioButton*>("1295")->isChecked());
    opened_disabled = !view->findChild<QLineEdit*>("1259")->isEnabled();
    view->findChild<QRadioButton*>("1294")->click();
    enabled_by_on = view->findChild<QLineEdit*>("1259")->isEnabled();
    view->findChild<QLineEdit*>("1259")->setText("-3");
    view->findChild<QPushButton*>("2")->click();  // "EXIT"
  });
  PageButton(window, 1, 1275)->click();
  QTRY_VERIFY(!window.busy());
  QVERIFY(opened_disabled);
  QVERIFY(enabled_by_on);
  QCOMPARE(ReadOffsetSettings(rt->settings()).ms1, 2);

  QString apply;
  testing::WhenModal<DialogView>([&](DialogView* view) {
    view->findChild<QRadioButton*>("1294")->click();
    view->findChild<QLineEdit*>("1259")->setText("-3");
    view->findChild<QLineEdit*>("1094")->setText("6");
    apply = view->findChild<QPushButton*>("1")->text();
    view->findChild<QPushButton*>("1")->click();
  });
  PageButton(window, 1, 1275)->click();
  QTRY_VERIFY(!window.busy());
  QCOMPARE(apply, QString("APPLY"));
  QCOMPARE(ReadOffsetSettings(rt->settings()),
           (OffsetSettings{.disable = 0, .ms1 = -3, .ms2 = 0, .vsd = 0, .ecn = 0, .tof = 6}));
}

void PagesWindowTest::inkEditorRefusesAValueOutsideAByteWithAMessage() {
  QTemporaryDir dir;
  auto rt = SimRuntime(dir.path());
  MainWindow window(*rt);
  window.show();
  window.sheet()->setCurrentIndex(1);
  QString refusal, caption;
  bool still_open = false, cl2kk_disabled = false, off_disables = false;
  testing::WhenModal<DialogView>([&](DialogView* view) {
    cl2kk_disabled = !view->findChild<QLineEdit*>("1306")->isEnabled();
    view->findChild<QLineEdit*>("1307")->setText("300");
    testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
      refusal = box->text();
      caption = box->windowTitle();
      box->button(QMessageBox::Ok)->click();
    });
    view->findChild<QPushButton*>("1")->click();
    still_open = view->isVisible();
    view->findChild<QLineEdit*>("1307")->setText("250");
    view->findChild<QRadioButton*>("1294")->click();  // "Off"
    off_disables = !view->findChild<QLineEdit*>("1307")->isEnabled();
    view->findChild<QPushButton*>("1")->click();
  });
  PageButton(window, 1, 1305)->click();
  QTRY_VERIFY(!window.busy());
  QVERIFY(cl2kk_disabled);
  QCOMPARE(refusal, QString("Please enter an integer between 0 and 255."));
  QCOMPARE(caption, QString("InkSystemInit"));
  QVERIFY(still_open);
  QVERIFY(off_disables);
  QCOMPARE(ReadInkSettings(rt->settings()),
           (InkSettings{.disable_ink = 1, .cl2kk = 2, .tcl_cond = 250, .unplug_a = 24}));
}

void PagesWindowTest::measurementDialogShowsTheLimitsInDisabledBoxes() {
  QTemporaryDir dir;
  auto rt = SimRuntime(dir.path());
  MainWindow window(*rt);
  window.show();
  window.sheet()->setCurrentIndex(3);
  QString caption, max, min;
  bool max_enabled = true, min_enabled = true, page_enabled = true;
  testing::WhenModal<DialogView>([&](DialogView* view) {
    caption = view->windowTitle();
    max = view->findChild<QLineEdit*>("1286")->text();
    min = view->findChild<QLineEdit*>("1288")->text();
    max_enabled = view->findChild<QLineEdit*>("1286")->isEnabled();
    min_enabled = view->findChild<QLineEdit*>("1288")->isEnabled();
    page_enabled = PageButton(window, 3, 1281)->isEnabled();
    view->findChild<QPushButton*>("1")->click();  // "EXIT"
  });
  PageButton(window, 3, 1280)->click();
  QTRY_VERIFY(!window.busy());
  QCOMPARE(caption, QString("Mono Measure"));
  QCOMPARE(max, QString("52.9"));
  QCOMPARE(min, QString("40.7"));
  QVERIFY(!max_enabled);
  QVERIFY(!min_enabled);
  QVERIFY(!page_enabled);  // the page's device buttons wait for the operation
  QVERIFY(PageButton(window, 3, 1281)->isEnabled());
}

void PagesWindowTest::rdListHasNoSelectionAfterATabChange() {
  QTemporaryDir dir;
  auto rt = SimRuntime(dir.path());
  MainWindow window(*rt);
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  // The Operation page restores its station on the device worker at start; until that has
  // ended the page's list is disabled and takes no focus.
  QTRY_VERIFY(!window.busy());
  window.sheet()->setCurrentIndex(2);
  auto* list = window.page(2)->findChild<QListWidget*>("1267");
  QCOMPARE(list->count(), 13);
  list->setFocus();
  QTRY_VERIFY(list->hasFocus());
  list->setCurrentRow(3);
  QCOMPARE(list->selectedItems().size(), 1);
  window.sheet()->tabBar()->setFocus();
  window.sheet()->setCurrentIndex(4);
  window.sheet()->setCurrentIndex(2);
  QVERIFY(list->selectedItems().isEmpty());
  // The ShowROMData page after start-up.
  auto* rom_list = window.page(4)->findChild<QListWidget*>("1267");
  QCOMPARE(rom_list->count(), 16);
  QCOMPARE(rom_list->item(15)->text(), QString(" 8. Set Shippment State"));
}

QTEST_MAIN(PagesWindowTest)
#include "pages_window_test.moc"
