#include "win32app/device_worker.h"

#include <exception>

namespace tarvo::win32app {

DeviceWorker::~DeviceWorker() {
  Join();
}

bool DeviceWorker::Start(std::function<void()> operation) {
  if (busy_) return false;
  if (!finished_) finished_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!finished_) return false;
  ResetEvent(finished_);
  busy_ = true;
  thread_ = std::thread([this, operation = std::move(operation)] {
    std::string failure;
    try {
      operation();
    } catch (const std::exception& e) {
      failure = e.what();
      if (failure.empty()) failure = "exception";
    } catch (...) {
      failure = "unknown exception";
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = failure;
    }
    SetEvent(finished_);
    PostMessageW(notify_, message_, 0, 0);
  });
  return true;
}

std::string DeviceWorker::Ended() {
  if (thread_.joinable()) thread_.join();
  busy_ = false;
  std::lock_guard<std::mutex> lock(mutex_);
  return std::move(failure_);
}

void DeviceWorker::Join() {
  if (busy_ && thread_.joinable()) {
    // The worker may be waiting in a call to this thread: serve those until it has ended.
    for (;;) {
      const DWORD woken = MsgWaitForMultipleObjects(1, &finished_, FALSE, INFINITE, QS_SENDMESSAGE);
      if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  if (busy_) Ended();
  if (finished_) {
    CloseHandle(finished_);
    finished_ = nullptr;
  }
}

}  // namespace tarvo::win32app
