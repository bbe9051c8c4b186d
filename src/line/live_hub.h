#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace tarvo::line {

// Tells every waiting browser connection that records arrived: a counter that only grows, and
// the table of the last arrival. Waits are on a condition variable, never a sleep.
class LiveHub {
 public:
  void Publish(const std::string& table);
  // Waits until the counter passes `seen`, the hub closes or `timeout` passes; the counter.
  uint64_t WaitAfter(uint64_t seen, std::chrono::milliseconds timeout);
  uint64_t count() const;
  std::string last_table() const;
  // Wakes every waiter for good: the server is stopping.
  void Close();
  bool closed() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t count_ = 0;
  std::string last_table_;
  bool closed_ = false;
};

}  // namespace tarvo::line
