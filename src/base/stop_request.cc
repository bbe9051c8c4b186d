#include "base/stop_request.h"

#include <chrono>

namespace tarvo {

void StopRequest::Request() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (requested_) return;
  requested_ = true;
  for (auto& hook : hooks_) hook();
  woken_.notify_all();
}

bool StopRequest::requested() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requested_;
}

void StopRequest::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requested_ = false;
}

bool StopRequest::WaitFor(int64_t ms) const {
  std::unique_lock<std::mutex> lock(mutex_);
  if (ms <= 0) return requested_;
  return woken_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return requested_; });
}

void StopRequest::ThrowIfRequested() const {
  if (requested()) throw OperationStopped();
}

StopRequest::Hook::Hook(StopRequest* stop, std::function<void()> on_stop) : stop_(stop) {
  if (!stop_) return;
  std::lock_guard<std::mutex> lock(stop_->mutex_);
  if (stop_->requested_) on_stop();
  entry_ = stop_->hooks_.insert(stop_->hooks_.end(), std::move(on_stop));
}

StopRequest::Hook::~Hook() {
  if (!stop_) return;
  std::lock_guard<std::mutex> lock(stop_->mutex_);
  stop_->hooks_.erase(entry_);
}

}  // namespace tarvo
