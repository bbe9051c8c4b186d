#include "base/atomic_file.h"

#include <fcntl.h>
#ifndef _WIN32
#include <unistd.h>

#include <cstdio>
#endif

#include <cerrno>
#include <charconv>
#include <system_error>

#include "base/file_ops.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

fs::path Folder(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

fs::path TemporaryName(const fs::path& path, int64_t pid) {
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(pid);
  return tmp;
}

bool Fail(std::string* why, const std::string& what, int error) {
  if (why) *why = what + ": " + file_ops::ErrorText(error);
  return false;
}

// The bytes in a named temporary, flushed.
bool WriteNamed(const fs::path& tmp, std::span<const uint8_t> bytes, std::string* why) {
  int fd = file_ops::OpenForWrite(tmp, false);
  if (fd < 0) return Fail(why, "cannot create " + tmp.string(), errno);
  bool ok = file_ops::WriteAll(fd, bytes.data(), bytes.size()) && file_ops::Sync(fd);
  int error = errno;
  ok = file_ops::Close(fd) && ok;
  if (!ok) {
    file_ops::Remove(tmp);
    return Fail(why, "cannot write " + tmp.string(), error);
  }
  return true;
}

#ifdef O_TMPFILE
// Linux writes the new text to a file without a name, so a writer killed half-way leaves nothing.

// File systems without unnamed files refuse O_TMPFILE with one of these.
bool NoUnnamedFiles(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Gives the unnamed file `fd` the name `name`, which must be free.
bool LinkUnnamed(int fd, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno != ENOENT) return false;
  // No /proc: the way that needs no path.
  return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Gives the unnamed file `fd` the name `name` (replacing a file of that name).
bool NameUnnamed(int fd, const std::string& name) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (LinkUnnamed(fd, name)) return true;
    if (errno != EEXIST) return false;
    ::unlink(name.c_str());
  }
  return false;
}

// The bytes in the temporary `tmp`, unnamed until they are all on the disk where the file system
// allows.
bool WriteTemporary(const fs::path& path, const fs::path& tmp, std::span<const uint8_t> bytes,
                    std::string* why) {
  int fd = ::open(Folder(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (NoUnnamedFiles(errno)) return WriteNamed(tmp, bytes, why);
    return Fail(why, "cannot write " + path.string(), errno);
  }
  bool ok = file_ops::WriteAll(fd, bytes.data(), bytes.size()) && file_ops::Sync(fd);
  int error = errno;
  if (ok && !NameUnnamed(fd, tmp.string())) {
    // Named at once after all: the old way still gives the whole file or nothing.
    ::close(fd);
    return WriteNamed(tmp, bytes, why);
  }
  ok = ::close(fd) == 0 && ok;
  if (!ok) return Fail(why, "cannot write a file in " + Folder(path).string(), error);
  return true;
}

// Whether the folder takes unnamed files (a check that leaves nothing behind); *failed when it
// takes no files at all.
bool TakesUnnamedFiles(const fs::path& folder, std::string* why, bool* failed) {
  int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (!NoUnnamedFiles(errno)) {
    *failed = true;
    Fail(why, "cannot write files in " + folder.string(), errno);
  }
  return false;
}
#else
bool WriteTemporary(const fs::path&, const fs::path& tmp, std::span<const uint8_t> bytes,
                    std::string* why) {
  return WriteNamed(tmp, bytes, why);
}

bool TakesUnnamedFiles(const fs::path&, std::string*, bool*) {
  return false;
}
#endif

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::span<const uint8_t> bytes, std::string* why) {
  const fs::path tmp = TemporaryName(path, file_ops::ThisProcess());
  if (!WriteTemporary(path, tmp, bytes, why)) return false;
  if (!file_ops::Replace(tmp, path)) {
    int error = errno;
    file_ops::Remove(tmp);
    return Fail(why, "cannot replace " + path.string(), error);
  }
  return true;
}

void RemoveStaleTemporaries(const fs::path& path) {
  const std::string prefix = path.filename().string() + ".tmp";
  const int64_t self = file_ops::ThisProcess();
  std::error_code ec;
  for (fs::directory_iterator it(Folder(path), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix)) continue;
    const char* digits = name.c_str() + prefix.size();
    const char* stop = name.c_str() + name.size();
    int64_t pid = 0;
    auto [at, err] = std::from_chars(digits, stop, pid);
    if (err != std::errc() || at != stop || pid <= 0 || pid == self) continue;
    if (!file_ops::ProcessHasEnded(pid)) continue;  // its writer may still be at work
    file_ops::Remove(it->path());
  }
}

fs::path WriterLock(const fs::path& path) {
#ifdef O_TMPFILE
  return Folder(path);
#else
  return path.string() + ".lock";
#endif
}

bool ReplaceLockedFile(const fs::path& path, std::span<const uint8_t> bytes, std::string* why) {
#ifdef O_TMPFILE
  const fs::path second = path.string() + ".lock";
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (fs::is_directory(status)) {
    if (why) *why = path.string() + " is a folder";
    return false;
  }
  const int fd = ::open(Folder(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (NoUnnamedFiles(errno)) return WriteFileAtomically(path, bytes, why);
    return Fail(why, "cannot write " + path.string(), errno);
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (!file_ops::WriteAll(fd, bytes.data(), bytes.size()) || !file_ops::Sync(fd)) {
    return Fail(why, "cannot write a file in " + Folder(path).string(), errno);
  }
  if (status.type() == fs::file_type::not_found) {
    if (LinkUnnamed(fd, path.string())) return true;  // the first text: straight into place
    if (errno != EEXIST) return Fail(why, "cannot write " + path.string(), errno);
  }
  // The second name is not a temporary: it is always there, or, after a writer was killed
  // before it was given again, missing, which harms no one.
  if (!NameUnnamed(fd, second.string())) return Fail(why, "cannot write " + second.string(), errno);
  if (::renameat2(AT_FDCWD, second.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
    return true;
  }
  // A file system that cannot trade names: the second name goes with the text.
  if ((errno == EINVAL || errno == ENOSYS) && file_ops::Replace(second, path)) return true;
  return Fail(why, "cannot replace " + path.string(), errno);
#else
  return WriteFileAtomically(path, bytes, why);
#endif
}

bool CanWriteFileAtomically(const fs::path& path, std::string* why) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    if (why) *why = path.string() + " is a folder";
    return false;
  }
  const fs::path folder = Folder(path);
  bool failed = false;
  if (TakesUnnamedFiles(folder, why, &failed)) return true;
  if (failed) return false;
  const fs::path tmp = TemporaryName(path, file_ops::ThisProcess());
  int fd = file_ops::OpenForWrite(tmp, true);
  if (fd < 0) return Fail(why, "cannot write files in " + folder.string(), errno);
  file_ops::Close(fd);
  file_ops::Remove(tmp);
  return true;
}

}  // namespace tarvo
