#include "app/gui_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace tarvo::app {

bool GuiClock::Wait(int64_t ms) {
  StopRequest* request = stop();
  if (request && request->requested()) return true;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) {
    if (request) return request->WaitFor(ms);
    real_.SleepMs(ms);
    return false;
  }
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(int(std::clamp<int64_t>(ms, 0, INT32_MAX)));
  // A request from any thread quits the loop through its queue; one made before the loop runs
  // is seen by the first event it serves.
  StopRequest::Hook on_stop(request, [&loop] {
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  return request && request->requested();
}

void GuiClock::SleepMs(int64_t ms) {
  if (Wait(ms)) throw OperationStopped();
}

void GuiClock::Elapse(int64_t ms) {
  Wait(ms);
}

}  // namespace tarvo::app
