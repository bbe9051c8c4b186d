#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <string>

namespace tarvo::app {

// The one thread that does device work, one operation at a time. Start() hands it an operation
// from the GUI thread; busyChanged() tells the GUI thread when an operation starts and when it
// has ended, so that the window can disable whatever would start a second one. The thread sleeps
// in its event loop between operations.
class DeviceWorker : public QObject {
  Q_OBJECT

 public:
  explicit DeviceWorker(QObject* parent = nullptr);
  // Waits for a running operation to end, then ends the thread.
  ~DeviceWorker() override;

  // Runs `operation` on the worker thread. False, and nothing runs, while another one runs.
  // An exception that leaves the operation is caught there and reported by failed().
  bool Start(std::function<void()> operation);
  bool busy() const { return busy_; }

  // Blocks the calling (GUI) thread until the running operation has ended, without serving its
  // events; only for the end of the program, once nothing can wait on the GUI thread any more.
  void Join();

 signals:
  void busyChanged(bool busy);
  // An operation ended with an exception; `what` says why.
  void failed(const QString& what);

 private:
  QThread thread_;
  QObject* anchor_;  // lives on thread_; operations are queued to it
  bool busy_ = false;
};

}  // namespace tarvo::app
