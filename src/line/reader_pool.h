#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "records/line_reader.h"

namespace tarvo::line {

// Opens a reader: the line database's or a records file's; nullptr with the reason.
using ReaderFactory = std::function<std::unique_ptr<records::LineReader>(std::string* error)>;

// Readers for the server's threads: each request borrows one of its own (a reader is for one
// thread at a time) and gives it back; one that failed is dropped, so the next opens afresh.
class ReaderPool {
 public:
  explicit ReaderPool(ReaderFactory open) : open_(std::move(open)) {}

  class Lease {
   public:
    Lease(ReaderPool& pool, std::unique_ptr<records::LineReader> reader)
        : pool_(pool), reader_(std::move(reader)) {}
    ~Lease() { pool_.Return(std::move(reader_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    records::LineReader* get() const { return reader_.get(); }
    records::LineReader* operator->() const { return reader_.get(); }

   private:
    ReaderPool& pool_;
    std::unique_ptr<records::LineReader> reader_;
  };

  // A reader, or an empty lease with `error` set.
  Lease Take(std::string* error);

 private:
  void Return(std::unique_ptr<records::LineReader> reader);

  ReaderFactory open_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<records::LineReader>> idle_;
};

}  // namespace tarvo::line
