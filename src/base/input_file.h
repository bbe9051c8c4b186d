#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace tarvo {

// What a name the device layer is to read stands for.
enum class FileKind {
  kMissing,  // nothing there, or nothing this process may look at
  kRegular,
  kFolder,
  kPipe,    // a named pipe: a read would wait for a writer that may never come
  kDevice,  // a device such as /dev/zero: a read may never end
  kOther,   // a socket and the like
};

// A regular file opened for reading: print files, firmware images and ROM data files. Anything
// else the name may stand for is not opened at all, so that no open or read waits for a writer
// or goes on for ever.
class InputFile {
 public:
  static InputFile Open(const std::filesystem::path& path);

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  // What the name stood for; kRegular also for a regular file that could not be opened.
  FileKind kind() const { return kind_; }
  // The size the system gives. Some files hold more than it says (those of /proc say 0): read
  // to the end rather than trust it.
  uint64_t size() const { return size_; }

  // Fills `into` from the file, short only at its end (0 there); nothing on a read error.
  std::optional<size_t> Read(std::span<uint8_t> into);

 private:
  InputFile() = default;

  int fd_ = -1;
  FileKind kind_ = FileKind::kMissing;
  uint64_t size_ = 0;
};

}  // namespace tarvo
