#include "app/gui_clock.h"

#include <QtTest>
#include <thread>

using namespace tarvo;
using namespace tarvo::app;

class GuiClockTest : public QObject {
  Q_OBJECT

 private slots:
  void aWaitOnTheWindowThreadServesItsEvents();
  void aStopMadeBeforeTheWaitEndsItAtOnce();
  void aWaitOnAnotherThreadEndsAtTheStop();
};

void GuiClockTest::aWaitOnTheWindowThreadServesItsEvents() {
  StopRequest stop;
  GuiClock clock;
  clock.set_stop(&stop);
  // Queued before a minute's wait: it can only run if the wait serves the event loop, and then it
  // ends the wait.
  bool served = false;
  QTimer::singleShot(0, [&] {
    served = true;
    stop.Request();
  });
  const int64_t start = clock.NowMs();
  QVERIFY_THROWS_EXCEPTION(OperationStopped, clock.SleepMs(60'000));
  QVERIFY(served);
  QVERIFY(clock.NowMs() - start < 30'000);
  // Elapse ends the same way without throwing.
  QTimer::singleShot(0, [&] { stop.Request(); });
  stop.Clear();
  clock.Elapse(60'000);
  QVERIFY(stop.requested());
}

void GuiClockTest::aStopMadeBeforeTheWaitEndsItAtOnce() {
  StopRequest stop;
  stop.Request();
  GuiClock clock;
  clock.set_stop(&stop);
  QVERIFY_THROWS_EXCEPTION(OperationStopped, clock.SleepMs(60'000));
  GuiClock no_stop;
  no_stop.SleepMs(0);
}

void GuiClockTest::aWaitOnAnotherThreadEndsAtTheStop() {
  StopRequest stop;
  GuiClock clock;
  clock.set_stop(&stop);
  bool stopped = false;
  std::thread device([&] {
    try {
      clock.SleepMs(60'000);
    } catch (const OperationStopped&) {
      stopped = true;
    }
  });
  stop.Request();
  device.join();
  QVERIFY(stopped);
}

QTEST_MAIN(GuiClockTest)
#include "gui_clock_test.moc"
