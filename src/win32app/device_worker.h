#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tarvo::win32app {

// The one thread that does device work, one operation at a time, so that the main window keeps
// being served while the printer works. Start() is called on the GUI thread; when the operation
// has ended the worker posts `message` to `notify`, and the GUI thread then calls Ended(), which
// lets the next one start.
class DeviceWorker {
 public:
  DeviceWorker(HWND notify, UINT message) : notify_(notify), message_(message) {}
  // Waits for a running operation to end (serving the calls it sends to this thread).
  ~DeviceWorker();
  DeviceWorker(const DeviceWorker&) = delete;
  DeviceWorker& operator=(const DeviceWorker&) = delete;

  // Runs `operation` on the worker. False, and nothing runs, while another one runs or its end
  // has not been taken by Ended(). An exception that leaves the operation is caught there.
  bool Start(std::function<void()> operation);
  bool busy() const { return busy_; }

  // The notification came: the operation's thread is joined. Returns why it ended early (the
  // exception's text), empty when it ran to its end.
  std::string Ended();

  // Blocks until a running operation has ended, serving the messages other threads send to this
  // one meanwhile (the operator's calls), then takes its end.
  void Join();

 private:
  HWND notify_;
  UINT message_;
  std::thread thread_;
  bool busy_ = false;
  HANDLE finished_ = nullptr;  // set by the worker as it ends
  std::mutex mutex_;
  std::string failure_;
};

}  // namespace tarvo::win32app
