// A fresh simulated printer through Station 1 and Station 2 in the program's own windows: every
// step started by a double-click on the Operation page's list, every window answered through its
// widgets, in virtual time.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "app/answering_person_test.h"
#include "app/app_runtime.h"
#include "app/main_window.h"
#include "model/rom_layout.h"
#include "pages/operation_page_view.h"
#include "pages/result_button.h"
#include "pages/rom_viewer_page_view.h"

using namespace tarvo;
using namespace tarvo::app;
using tarvo::pages::CResultButton;
using tarvo::pages::OperationPageView;

namespace {

std::unique_ptr<AppRuntime> SimRuntime(const std::string& station_dir) {
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station_dir;
  std::string error, notes;
  auto rt = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
  if (!rt) qFatal("runtime: %s", error.c_str());
  return rt;
}

// The Operation page of a shown main window, read as a person reads it.
struct OperationPage {
  explicit OperationPage(MainWindow& window)
      : view(qobject_cast<OperationPageView*>(window.page(0))) {}
  QString text(int id) const { return view->findChild<QLineEdit*>(QString::number(id))->text(); }
  CResultButton* label(const QString& name) const { return view->findChild<CResultButton*>(name); }
  int state(const QString& slot) const { return label("slot:" + slot)->state(); }
  QListWidget* steps() const { return view->findChild<QListWidget*>("1267"); }
  QComboBox* selector() const { return view->findChild<QComboBox*>("1271"); }

  OperationPageView* view;
};

}  // namespace

class StationRunTest : public QObject {
  Q_OBJECT

 private slots:
  void freshPrinterThroughBothStationsToPass();
};

void StationRunTest::freshPrinterThroughBothStationsToPass() {
  testing::StationRunFolder folder;
  auto rt = SimRuntime(folder.path());
  MainWindow window(*rt);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  OperationPage page(window);
  QVERIFY(page.view);
  QTRY_VERIFY(page.view->initialised() && !window.busy());
  QCOMPARE(page.selector()->currentIndex(), 0);
  QCOMPARE(page.text(1264), QString("AB1"));

  testing::AnsweringPerson person;
  // Mid-run looks at the page, made while a window of the run is up: the slots change colour as
  // each step of a chained run ends, not only when the run is over.
  auto ct_green_before_machine_no = [&] { QCOMPARE(page.state("CT"), 2); };
  bool tof_and_ms1_green_before_ms2 = false;
  bool controls_disabled_during_run = false;
  for (const testing::StationStep& step : testing::FreshPrinterRun()) {
    if (step.station >= 0) {
      testing::ChooseWithKeys(page.selector(), step.station);
      QTRY_VERIFY(!window.busy());
      QCOMPARE(page.selector()->currentIndex(), step.station);
    }
    for (const auto& [name, answer] : step.windows) {
      std::function<void()> check;
      const QString window_name(name);
      if (window_name == "dialog 188 Input Machine No.") {
        check = [&] {
          ct_green_before_machine_no();
          controls_disabled_during_run = !page.steps()->isEnabled() &&
                                         !page.selector()->isEnabled() &&
                                         window.sheet()->tabBar()->isEnabled();
        };
      }
      if (window_name == "dialog 189 MS2") {
        check = [&] {
          tof_and_ms1_green_before_ms2 =
              page.state("TOF") == 2 && page.state("MS1") == 2 && page.state("MS2") == 0;
        };
      }
      person.Expect(window_name, answer, check);
    }
    QVERIFY(testing::DoubleClickRow(page.steps(), step.row));
    QTRY_VERIFY_WITH_TIMEOUT(person.done() && !window.busy(), 30000);
    QVERIFY2(person.problems().isEmpty(), qPrintable(person.problems().join("\n")));
    if (step.station == 0 || (step.station < 0 && page.selector()->currentIndex() == 0)) {
      QCOMPARE(page.label("total")->text(), QString(step.row == 0 ? "Testing" : "PASS"));
    }
  }
  QVERIFY(controls_disabled_during_run);
  QVERIFY(tof_and_ms1_green_before_ms2);

  // The finished Station 2: every slot green, a green "PASS", the printer's values shown.
  for (const char* slot : {"CT", "Nozzle Check", "TOF", "MS1", "MS2", "VSD", "ECN", "G0S A4",
                           "DisCharge", "S/F", "Photo", "Card", "Envelope"}) {
    QCOMPARE(page.state(slot), 2);
  }
  QCOMPARE(page.label("total")->text(), QString("PASS"));
  QCOMPARE(page.label("total")->state(), 6);
  QCOMPARE(page.label("write-rom-fail")->state(), 0);
  QCOMPARE(page.text(1183), QString("0073"));
  QVERIFY(page.text(1255).startsWith("001"));
  QCOMPARE(page.text(1257), QString("AB12CD"));
  QVERIFY(page.text(1256).startsWith("AB1Z9"));
  QCOMPARE(page.text(1269), QString("07"));
  QCOMPARE(page.text(1268), QString("MN001"));
  QCOMPARE(page.text(1273), QString("A123456789012"));
  QCOMPARE(page.text(1094), QString("-25"));  // TOF one step down
  QCOMPARE(page.text(1259), QString("1"));    // MS1: reprinted at +2, accepted at -1
  QCOMPARE(page.text(1270), QString("1"));    // one ink charge
  QCOMPARE(page.text(1274), QString("13"));   // thirteen charts
  // The finishing discharge stored the finishing data and switched the printer off.
  const auto& eeprom = rt->sim()->eeprom();
  QCOMPARE(int(eeprom[kFtFlagOffset]), 1);
  QVERIFY(!rt->sim()->powered());
  QVERIFY(!rt->link().is_open());

  // The ROM data viewer reads the finished printer: its identity and adjustment values.
  QTabBar* tabs = window.sheet()->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
  QCOMPARE(window.sheet()->currentIndex(), 4);
  auto* viewer = qobject_cast<pages::RomViewerPageView*>(window.page(4));
  QVERIFY(viewer);
  QCOMPARE(viewer->drop_down()->currentText(), QString("OOB "));
  QCOMPARE(viewer->list()->item(0)->text(), QString(" 1. Read ROM Data"));
  QVERIFY(testing::DoubleClickRow(viewer->list(), 0));
  QTRY_VERIFY(!window.busy());
  QVERIFY2(person.problems().isEmpty(), qPrintable(person.problems().join("\n")));
  auto shown = [viewer](int id) { return viewer->field(id)->text(); };
  QCOMPARE(shown(1296), QString("001"));     // Customer Setting
  QVERIFY(shown(1297).startsWith("AB1Z9"));  // USB ID
  QCOMPARE(shown(1297), page.text(1256));
  QCOMPARE(shown(1298), QString("AB12CD"));  // Head ID
  QCOMPARE(shown(1299), QString("TR-460"));  // the model of customer 001
  QCOMPARE(shown(1302), QString("0073"));    // FW Ver.
  QCOMPARE(shown(1094), QString("-1"));      // TOF as stored: one step down
  QCOMPARE(shown(1259), QString("1"));       // MS1
  for (int id : {1260, 1262, 1263}) QCOMPARE(shown(id), QString("0"));  // MS2, VSD, ECN
  QCOMPARE(shown(1279), QString("1"));  // FT Flag: the finishing data
}

QTEST_MAIN(StationRunTest)
#include "station_run_test.moc"
