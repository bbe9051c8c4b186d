#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "line/live_hub.h"
#include "line/reader_pool.h"

namespace tarvo::line {

// Passes arrivals of records to the hub from a thread of its own, until destroyed.
class Watcher {
 public:
  virtual ~Watcher();

 protected:
  void Start(std::function<void()> loop);
  // Waits up to `ms`; false once the watcher stops.
  bool Pause(int ms);
  bool stopping();

 private:
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

// The line database's notifications (LISTEN); reconnects after a lost connection, then tells
// the browsers once, since it may have missed records meanwhile. `log` hears of losses, never a
// connection string.
class NotifyWatcher : public Watcher {
 public:
  // `listening`: told whenever the watcher (again) listens.
  NotifyWatcher(
      std::string conninfo, LiveHub& hub, std::function<void(const std::string&)> log,
      std::function<void()> listening = [] {});
  ~NotifyWatcher() override;
};

// A records file has no notifications: its change mark is read every `interval_ms`.
class PollWatcher : public Watcher {
 public:
  PollWatcher(ReaderFactory open, LiveHub& hub, int interval_ms);
  ~PollWatcher() override;
};

}  // namespace tarvo::line
