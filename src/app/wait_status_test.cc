#include "app/wait_status.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "app/answering_person_test.h"
#include "app/app_runtime.h"
#include "app/main_window.h"
#include "base/clock.h"
#include "operations/maintenance.h"

using namespace tarvo;
using namespace tarvo::app;

class WaitStatusTest : public QObject {
  Q_OBJECT

 private slots:
  void countsDownByTheClockItIsGivenAndEmptiesAtTheEnd();
  void waitsToldFromTheDeviceWorkerReachTheWindowsStatusLineByName();
};

void WaitStatusTest::countsDownByTheClockItIsGivenAndEmptiesAtTheEnd() {
  VirtualClock clock;
  WaitStatus status([&clock] { return clock.NowMs(); });
  QSignalSpy changed(&status, &WaitStatus::lineChanged);
  QCOMPARE(status.line(), QString());
  status.Begins("Greasing", 12'000);
  QCOMPARE(status.line(), QString("Greasing: 12 s"));
  clock.Tick(3'000);
  status.Refresh();
  QCOMPARE(status.line(), QString("Greasing: 9 s"));
  status.Refresh();  // nothing new: nothing told
  QCOMPARE(changed.count(), 2);
  clock.Tick(8'999);
  status.Refresh();
  QCOMPARE(status.line(), QString("Greasing: 1 s"));
  status.Ends();
  QCOMPARE(status.line(), QString());
  QCOMPARE(changed.count(), 4);
}

void WaitStatusTest::waitsToldFromTheDeviceWorkerReachTheWindowsStatusLineByName() {
  static testing::StationRunFolder station;
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station.path();
  std::string error, notes;
  auto rt = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
  QVERIFY2(rt, error.c_str());
  MainWindow window(*rt);
  QTRY_VERIFY(!window.busy());  // the Operation page has restored its station
  QStringList shown;
  connect(&rt->wait_status(), &WaitStatus::lineChanged, this,
          [&](const QString& line) { shown << window.status_line()->text() + "|" + line; });
  // The grease: its short pauses are not worth a count; its 12 s wait is, by its name.
  QVERIFY(window.RunFramed([](const Context& ctx, PrinterLink& link) { Lubrication(ctx, link); }));
  QTRY_VERIFY(!window.busy());
  QTRY_COMPARE(shown, QStringList({"Greasing: 12 s|Greasing: 12 s", "|"}));
  QCOMPARE(window.status_line()->text(), QString());
}

QTEST_MAIN(WaitStatusTest)
#include "wait_status_test.moc"
