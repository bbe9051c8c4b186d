#include "base/input_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <utility>

namespace tarvo {
namespace {

#ifdef _WIN32
using Stat = struct _stat64;
int StatOf(const std::filesystem::path& path, Stat* st) {
  return ::_wstat64(path.c_str(), st);
}
int StatOf(int fd, Stat* st) {
  return ::_fstat64(fd, st);
}
int OpenForRead(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int CloseFd(int fd) {
  return ::_close(fd);
}
long ReadFd(int fd, uint8_t* into, size_t size) {
  return ::_read(fd, into, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}
FileKind KindOf(unsigned mode) {
  switch (mode & _S_IFMT) {
    case _S_IFREG:
      return FileKind::kRegular;
    case _S_IFDIR:
      return FileKind::kFolder;
    case _S_IFIFO:
      return FileKind::kPipe;
    case _S_IFCHR:
      return FileKind::kDevice;
    default:
      return FileKind::kOther;
  }
}
#else
using Stat = struct stat;
int StatOf(const std::filesystem::path& path, Stat* st) {
  return ::stat(path.c_str(), st);
}
int StatOf(int fd, Stat* st) {
  return ::fstat(fd, st);
}
int OpenForRead(const std::filesystem::path& path) {
  // Should a named pipe take the name's place after the look, the open does not wait for a
  // writer; the look after the open then refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}
int CloseFd(int fd) {
  return ::close(fd);
}
ssize_t ReadFd(int fd, uint8_t* into, size_t size) {
  return ::read(fd, into, std::min<size_t>(size, size_t{1} << 30));
}
FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISFIFO(mode)) return FileKind::kPipe;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::kDevice;
  return FileKind::kOther;
}
#endif

}  // namespace

InputFile InputFile::Open(const std::filesystem::path& path) {
  InputFile file;
  Stat st{};
  // Looked at before it is opened: opening a device may already do something to it.
  if (path.empty() || StatOf(path, &st) != 0) return file;
  file.kind_ = KindOf(st.st_mode);
  if (file.kind_ != FileKind::kRegular) return file;
  const int fd = OpenForRead(path);
  if (fd < 0) return file;
  if (StatOf(fd, &st) != 0 || KindOf(st.st_mode) != FileKind::kRegular) {
    if (StatOf(fd, &st) == 0) file.kind_ = KindOf(st.st_mode);
    CloseFd(fd);
    return file;
  }
  file.fd_ = fd;
  file.size_ = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return file;
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), kind_(other.kind_), size_(other.size_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) CloseFd(fd_);
    fd_ = std::exchange(other.fd_, -1);
    kind_ = other.kind_;
    size_ = other.size_;
  }
  return *this;
}

InputFile::~InputFile() {
  if (fd_ >= 0) CloseFd(fd_);
}

std::optional<size_t> InputFile::Read(std::span<uint8_t> into) {
  if (fd_ < 0) return std::nullopt;
  size_t got = 0;
  while (got < into.size()) {
    const auto n = ReadFd(fd_, into.data() + got, into.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

}  // namespace tarvo
