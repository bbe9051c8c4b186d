#include "base/file_ops.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarvo::file_ops {

#ifdef _WIN32

namespace {

constexpr int kPermissions = _S_IREAD | _S_IWRITE;

// errno for the system's error code of a failed call outside the C library.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    default:
      return EIO;
  }
}

}  // namespace

int OpenForAppend(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT,
                  kPermissions);
}

int OpenForWrite(const std::filesystem::path& path, bool exclusive) {
  return ::_wopen(
      path.c_str(),
      _O_WRONLY | _O_CREAT | (exclusive ? _O_EXCL : _O_TRUNC) | _O_BINARY | _O_NOINHERIT,
      kPermissions);
}

bool WriteAll(int fd, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    const int n = ::_write(fd, at, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool Sync(int fd) {
  return ::_commit(fd) == 0;
}
bool Close(int fd) {
  return ::_close(fd) == 0;
}
bool Remove(const std::filesystem::path& path) {
  return ::_wunlink(path.c_str()) == 0;
}

bool Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  errno = ErrnoOf(GetLastError());
  return false;
}

int64_t ThisProcess() {
  return GetCurrentProcessId();
}

bool ProcessHasEnded(int64_t pid) {
  if (pid <= 0 || pid > 0xFFFFFFFFll) return false;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no process of that id
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

ExclusiveLock::ExclusiveLock(const std::filesystem::path& path) {
  fd_ = ::_wopen(path.c_str(), _O_RDONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT, kPermissions);
  if (fd_ < 0) {
    error_ = errno;
    return;
  }
  OVERLAPPED whole{};
  HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    error_ = ErrnoOf(GetLastError());
    ::_close(fd_);
    fd_ = -1;
  }
}

ExclusiveLock::~ExclusiveLock() {
  if (fd_ < 0) return;
  OVERLAPPED whole{};
  UnlockFileEx(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_)), 0, MAXDWORD, MAXDWORD, &whole);
  ::_close(fd_);
}

#else  // POSIX

int OpenForAppend(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
}

int OpenForWrite(const std::filesystem::path& path, bool exclusive) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | (exclusive ? O_EXCL : O_TRUNC) | O_CLOEXEC,
                0644);
}

bool WriteAll(int fd, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, at, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool Sync(int fd) {
  return ::fsync(fd) == 0;
}
bool Close(int fd) {
  return ::close(fd) == 0;
}
bool Remove(const std::filesystem::path& path) {
  return ::unlink(path.c_str()) == 0;
}

bool Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

int64_t ThisProcess() {
  return ::getpid();
}

bool ProcessHasEnded(int64_t pid) {
  if (pid <= 0 || static_cast<int64_t>(static_cast<pid_t>(pid)) != pid) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

ExclusiveLock::ExclusiveLock(const std::filesystem::path& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0 && errno == EISDIR) fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    return;
  }
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    error_ = errno;
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

ExclusiveLock::~ExclusiveLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

#endif

std::string ErrorText(int error) {
  return std::strerror(error);
}

}  // namespace tarvo::file_ops
