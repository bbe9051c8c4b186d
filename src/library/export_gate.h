#pragma once

#include <mutex>

namespace tarvo::library {

// Lets one export at a time reach the library's state (the printer link, the runtime, the
// station's blocks). A call from another thread waits until the export running has returned; a
// call from the thread that is inside an export already (a host's window procedure run by a
// dialog's message loop, for one) is turned away, since it would pull the link and the blocks
// from under the export that waits for the dialog.
class ExportGate {
 public:
  // Held for the length of one export.
  class Pass {
   public:
    Pass(Pass&& other) noexcept
        : gate_(other.gate_), lock_(std::move(other.lock_)), running_(other.running_) {
      other.gate_ = nullptr;
    }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
    Pass& operator=(Pass&&) = delete;
    ~Pass() {
      if (gate_) gate_->running_ = nullptr;
    }

    // False when the call was turned away.
    bool entered() const { return gate_ != nullptr; }
    // The export the thread is inside when the call was turned away.
    const char* running() const { return running_; }

   private:
    friend class ExportGate;
    Pass(ExportGate* gate, std::unique_lock<std::recursive_mutex> lock, const char* running)
        : gate_(gate), lock_(std::move(lock)), running_(running) {}

    ExportGate* gate_;
    std::unique_lock<std::recursive_mutex> lock_;
    const char* running_ = nullptr;
  };

  // Waits while another thread is inside an export; then lets `name` in, unless this thread is
  // inside one already.
  Pass Enter(const char* name) {
    // Recursive: the thread that holds it gets it again at once and is told apart by running_.
    std::unique_lock lock(mutex_);
    if (running_) return Pass(nullptr, std::unique_lock<std::recursive_mutex>(), running_);
    running_ = name;
    return Pass(this, std::move(lock), nullptr);
  }

 private:
  std::recursive_mutex mutex_;
  const char* running_ = nullptr;  // the export inside, guarded by mutex_
};

}  // namespace tarvo::library
