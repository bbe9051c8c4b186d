#include "app/doctor_view.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>

#include "app/app_runtime.h"
#include "app/device_worker.h"

using namespace tarvo;
using namespace tarvo::app;

class DoctorViewTest : public QObject {
  Q_OBJECT

 private slots:
  void showsEachCheckWithWhatToDoAndTheVerdict();
  void theMenuEntryWaitsForTheWorker();
};

void DoctorViewTest::showsEachCheckWithWhatToDoAndTheVerdict() {
  doctor::Report report;
  report.findings = {
      {"usb bus", doctor::State::kOk, "readable, 4 devices", ""},
      {"device node", doctor::State::kProblem,
       "/dev/bus/usb/001/004 (owner root, group root, rw-------): alice may not open it",
       "as root: scripts/install-udev-rule.sh alice, then log in again"}};
  DoctorView view(report);
  QTreeWidget* table = view.table();
  QCOMPARE(table->topLevelItemCount(), 2);
  QTreeWidgetItem* row = table->topLevelItem(1);
  QCOMPARE(row->text(0), QString("FAIL"));
  QCOMPARE(row->text(1), QString("device node"));
  QVERIFY(row->text(2).contains("alice may not open it"));
  QCOMPARE(row->text(3), QString("as root: scripts/install-udev-rule.sh alice, then log in again"));
  QCOMPARE(view.verdict()->text(), QString("No printer is usable."));

  report.printer_usable = true;
  DoctorView usable(report);
  QCOMPARE(usable.verdict()->text(), QString("A printer is usable."));
}

void DoctorViewTest::theMenuEntryWaitsForTheWorker() {
  QTemporaryDir station;
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station.path().toStdString();
  std::string error, notes;
  auto rt = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
  QVERIFY2(rt, error.c_str());
  QWidget window;
  QMenu menu;
  DeviceWorker worker;
  QAction* action = AddPrinterCheck(&menu, &window, *rt, worker);
  QCOMPARE(action->objectName(), QString("check_printer"));
  QVERIFY(action->isEnabled());
  emit worker.busyChanged(true);
  QVERIFY(!action->isEnabled());
  emit worker.busyChanged(false);
  QVERIFY(action->isEnabled());
}

QTEST_MAIN(DoctorViewTest)
#include "doctor_view_test.moc"
