#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvo::file_ops {

// The few file operations whose system calls differ between Linux and Windows, on raw file
// descriptors: binary, and never inherited by programs the process starts. A failing call leaves
// its reason in errno, which ErrorText() words.

// Opens `path` for appending, created when missing; -1 when it cannot be.
int OpenForAppend(const std::filesystem::path& path);
// Opens `path` for writing from the start: emptied when it exists, or (with `exclusive`) refused
// when it exists; -1 when it cannot be.
int OpenForWrite(const std::filesystem::path& path, bool exclusive);
// Writes all of the bytes, going on after interruptions; false when a write fails.
bool WriteAll(int fd, const void* data, size_t size);
// Flushes the file's data to the disk.
bool Sync(int fd);
bool Close(int fd);
// Removes the file; false when it cannot be (errno says why).
bool Remove(const std::filesystem::path& path);

// Gives `from` the name `to` in one step, replacing a file of that name; readers see the old file
// or the new one.
bool Replace(const std::filesystem::path& from, const std::filesystem::path& to);

// This process's id, and whether the process of an id has ended (false while it runs and when
// that cannot be told).
int64_t ThisProcess();
bool ProcessHasEnded(int64_t pid);

// The text of an errno value.
std::string ErrorText(int error);

// An exclusive lock on a file, made when missing (opened for reading only, so a lock file made by
// another user serves as well), held while the object lives; every process locking the same file
// waits for it. Where the system allows (Linux), a folder can be locked the same way.
class ExclusiveLock {
 public:
  explicit ExclusiveLock(const std::filesystem::path& path);
  ~ExclusiveLock();
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  bool ok() const { return fd_ >= 0; }
  int error() const { return error_; }  // errno of the failure

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace tarvo::file_ops
