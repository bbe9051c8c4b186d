#include "app/wait_window_view.h"

#include <QtTest>

#include "base/wait_windows.h"

using namespace tarvo;
using namespace tarvo::app;

class WaitWindowViewTest : public QObject {
  Q_OBJECT

 private slots:
  void theConnectWindowCountsDownTheWholeConnect();
  void aWindowOverSingleWaitsHidesTheCountBetweenThem();
};

void WaitWindowViewTest::theConnectWindowCountsDownTheWholeConnect() {
  WaitWindowView view(ConnectWindow(kLibraryEdition, 10));
  view.StartWait(1000);
  QCOMPARE(view.countdown_text(), QString("10 s"));
  QCOMPARE(view.progress_permille(), 0);
  view.ShowElapsed(600);
  QCOMPARE(view.countdown_text(), QString("10 s"));
  QCOMPARE(view.progress_permille(), 60);
  // Between two retries the count stays where the first wait ended.
  view.EndWait();
  QVERIFY(!view.counting());
  QCOMPARE(view.countdown_text(), QString("9 s"));
  QCOMPARE(view.progress_permille(), 100);
  // The next retry goes on from there instead of starting over.
  view.StartWait(1000);
  view.ShowElapsed(500);
  QCOMPARE(view.countdown_text(), QString("9 s"));
  QCOMPARE(view.progress_permille(), 150);
  for (int retry = 3; retry <= 10; ++retry) {
    view.EndWait();
    view.StartWait(1000);
  }
  view.ShowElapsed(1000);
  QCOMPARE(view.countdown_text(), QString("0 s"));
  QCOMPARE(view.progress_permille(), 1000);
}

void WaitWindowViewTest::aWindowOverSingleWaitsHidesTheCountBetweenThem() {
  WaitWindowView view(PrinterBusyWindow(kProgramEdition));
  view.StartWait(10'000);
  view.ShowElapsed(3'500);
  QCOMPARE(view.countdown_text(), QString("7 s"));
  view.EndWait();
  QCOMPARE(view.countdown_text(), QString());
  view.StartWait(5'000);
  QCOMPARE(view.countdown_text(), QString("5 s"));
  QCOMPARE(view.progress_permille(), 0);
}

QTEST_MAIN(WaitWindowViewTest)
#include "wait_window_view_test.moc"
