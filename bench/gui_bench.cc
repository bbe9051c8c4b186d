// The desktop program's costs, on whatever Qt platform is set (QT_QPA_PLATFORM=offscreen on a
// machine without a display): time from the start of main to the first paint of the main window,
// and the processor time the program takes while its window is idle and while an operation
// waits 10 s under a counting wait window.
//   gui_bench [IDLE_SECONDS]
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/app_runtime.h"
#include "app/main_window.h"
#include "base/wait_windows.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `ms` and returns the processor share the process took meanwhile.
double Share(int ms) {
  const double cpu = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
  return (CpuSeconds() - cpu) / (double(wall.elapsed()) / 1000.0);
}

class FirstPaint : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& since) : since_(since) {}
  qint64 ms = -1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && ms < 0) ms = since_.elapsed();
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& since_;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer since_start;
  since_start.start();
  QApplication app(argc, argv);
  const int idle_s = argc > 1 ? std::atoi(argv[1]) : 5;

  tarvo::app::AppOptions options;
  options.printer = "sim";
  std::string error, notes;
  auto runtime = tarvo::app::AppRuntime::Make(
      options, std::make_unique<tarvo::MemorySettingsStore>(), &error, &notes);
  if (!runtime) return 1;
  tarvo::app::MainWindow window(*runtime);
  FirstPaint paint(since_start);
  window.installEventFilter(&paint);
  window.show();
  while (paint.ms < 0) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  std::printf("first paint of the main window: %lld ms after the start of main\n",
              static_cast<long long>(paint.ms));

  Share(500);  // settle
  std::printf("idle window, %d s: %.2f %% of one core\n", idle_s, 100 * Share(idle_s * 1000));

  // An operation on the worker: the discharge's wait window and a fixed 10 s wait on the real
  // clock, as the device layer does it.
  bool ended = false;
  QObject::connect(&window.worker(), &tarvo::app::DeviceWorker::busyChanged,
                   [&](bool busy) { ended = !busy; });
  window.RunOperation([](const tarvo::Context& ctx, tarvo::PrinterLink&) {
    tarvo::WaitWindowGuard shown(ctx.op, tarvo::InkDisChargeWindow(ctx.edition));
    ctx.Wait(10'000);
  });
  const double cpu = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  while (!ended) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  std::printf("10 s wait with its counting wait window: %.2f %% of one core (%.1f s)\n",
              100 * (CpuSeconds() - cpu) / (double(wall.elapsed()) / 1000.0),
              double(wall.elapsed()) / 1000.0);
  return 0;
}
