#include "line/reader_pool.h"

namespace tarvo::line {

// Few requests run at once; more idle readers than this are closed.
constexpr size_t kMaxIdle = 8;

ReaderPool::Lease ReaderPool::Take(std::string* error) {
  {
    std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      std::unique_ptr<records::LineReader> reader = std::move(idle_.back());
      idle_.pop_back();
      return Lease(*this, std::move(reader));
    }
  }
  return Lease(*this, open_(error));
}

void ReaderPool::Return(std::unique_ptr<records::LineReader> reader) {
  if (!reader || !reader->ok()) return;
  std::lock_guard lock(mutex_);
  if (idle_.size() < kMaxIdle) idle_.push_back(std::move(reader));
}

}  // namespace tarvo::line
