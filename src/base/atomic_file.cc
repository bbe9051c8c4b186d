#include "base/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <system_error>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

std::string Folder(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path().string() : std::string(".");
}

std::string TemporaryName(const fs::path& path, pid_t pid) {
  return path.string() + ".tmp" + std::to_string(pid);
}

bool Fail(std::string* why, const std::string& what, int error) {
  if (why) *why = what + ": " + std::strerror(error);
  return false;
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// File systems without unnamed files refuse O_TMPFILE with one of these.
bool NoUnnamedFiles(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Gives the unnamed file `fd` the name `name` (replacing a leftover of the same name).
bool NameUnnamed(int fd, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno == ENOENT) {  // no /proc: the way that needs no path
      if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    }
    if (errno != EEXIST) return false;
    ::unlink(name.c_str());
  }
  return false;
}

// The bytes in a named temporary, flushed.
bool WriteNamed(const std::string& tmp, std::span<const uint8_t> bytes, std::string* why) {
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(why, "cannot create " + tmp, errno);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlink(tmp.c_str());
    return Fail(why, "cannot write " + tmp, error);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::span<const uint8_t> bytes, std::string* why) {
  const std::string tmp = TemporaryName(path, ::getpid());
  int fd = ::open(Folder(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (fd >= 0) {
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (ok && !NameUnnamed(fd, tmp)) {
      // Named at once after all: the old way still gives the whole file or nothing.
      ::close(fd);
      if (!WriteNamed(tmp, bytes, why)) return false;
    } else {
      ok = ::close(fd) == 0 && ok;
      if (!ok) return Fail(why, "cannot write a file in " + Folder(path), error);
    }
  } else if (NoUnnamedFiles(errno)) {
    if (!WriteNamed(tmp, bytes, why)) return false;
  } else {
    return Fail(why, "cannot write " + path.string(), errno);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(tmp.c_str());
    return Fail(why, "cannot replace " + path.string(), error);
  }
  return true;
}

void RemoveStaleTemporaries(const fs::path& path) {
  const std::string prefix = path.filename().string() + ".tmp";
  std::error_code ec;
  for (fs::directory_iterator it(Folder(path), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix)) continue;
    const char* digits = name.c_str() + prefix.size();
    const char* stop = name.c_str() + name.size();
    pid_t pid = 0;
    auto [at, err] = std::from_chars(digits, stop, pid);
    if (err != std::errc() || at != stop || pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // its writer may still be at work
    ::unlink(it->path().c_str());
  }
}

bool CanWriteFileAtomically(const fs::path& path, std::string* why) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    if (why) *why = path.string() + " is a folder";
    return false;
  }
  const std::string folder = Folder(path);
  int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (!NoUnnamedFiles(errno)) return Fail(why, "cannot write files in " + folder, errno);
  const std::string tmp = TemporaryName(path, ::getpid());
  fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(why, "cannot write files in " + folder, errno);
  ::close(fd);
  ::unlink(tmp.c_str());
  return true;
}

}  // namespace tarvo
