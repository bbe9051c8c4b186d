#include "app/gui_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace tarvo::app {

bool GuiClock::Wait(int64_t ms) {
  auto stopped = [this] { return stop_ && stop_->requested(); };
  if (stopped()) return true;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) {
    // Not the window thread: slices of plain sleep, looking at the stop request between them.
    const int64_t end = real_.NowMs() + ms;
    for (int64_t left = ms; left > 0; left = end - real_.NowMs()) {
      real_.SleepMs(std::min<int64_t>(left, 200));
      if (stopped()) return true;
    }
    return false;
  }
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QTimer watch;
  watch.setInterval(200);
  QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
    if (stopped()) loop.quit();
  });
  deadline.start(int(std::clamp<int64_t>(ms, 0, INT32_MAX)));
  watch.start();
  // Anything queued before the wait (a stop request, a repaint) is looked at first.
  QTimer::singleShot(0, &loop, [&] {
    if (stopped()) loop.quit();
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  return stopped();
}

void GuiClock::SleepMs(int64_t ms) {
  if (Wait(ms)) throw OperationStopped();
}

void GuiClock::Elapse(int64_t ms) {
  Wait(ms);
}

}  // namespace tarvo::app
