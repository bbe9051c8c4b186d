#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "link/link_backend.h"
#include "win32/interface_walk.h"
#include "win32/os_kind.h"

namespace tarvo::win32 {

// Printers reached as the system's USB printing interfaces: found in the registry's device
// interface classes, each pipe opened with CreateFileA for overlapped I/O, every transfer a single
// overlapped read or write waited for up to its time limit and cancelled when still pending then.
//
// Threads: the device thread makes every call but StopTransfers(), which sets an event the
// transfer waits on beside its own; the device thread then cancels the transfer itself (CancelIo
// cancels only the calling thread's transfers, on every Windows version).
class Win32Backend : public LinkBackend {
 public:
  // Waits for the first of a transfer's event (WAIT_OBJECT_0) and the stop event
  // (WAIT_OBJECT_0 + 1), up to the limit; WaitForMultipleObjects unless a test says otherwise.
  using Wait = std::function<DWORD(HANDLE transfer, HANDLE stop, DWORD timeout_ms)>;

  struct Options {
    InterfaceClasses classes;
    // The system kind, asked at every enumeration; DetectOsKind unless a test says otherwise.
    std::function<OsKind()> os_kind = DetectOsKind;
    Wait wait;
  };

  Win32Backend() : Win32Backend(Options{}) {}
  explicit Win32Backend(Options options);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  std::vector<PrinterInterface> Enumerate() override;
  std::optional<PipeHandle> Open(const PrinterInterface& printer, PipeName pipe) override;
  bool Close(PipeHandle handle) override;
  TransferResult Write(PipeHandle handle, std::span<const uint8_t> data,
                       uint32_t timeout_ms) override;
  TransferResult Read(PipeHandle handle, std::span<uint8_t> buffer, uint32_t timeout_ms) override;
  void StopTransfers() override;
  void ResumeTransfers() override;

  // The path CreateFileA opens for `pipe` of an interface whose link is `link`, on a system of
  // `discovery_kind`: on Windows 98 the link, "\" and the pipe name; elsewhere the link alone,
  // so both pipes open the same interface.
  static std::string PipePath(const std::string& link, PipeName pipe, OsKind discovery_kind);

 private:
  struct Pipe {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr;  // manual reset, for this pipe's transfers
  };
  TransferResult Transfer(PipeHandle handle, void* data, size_t size, uint32_t timeout_ms,
                          bool write);

  Options options_;
  OsKind discovery_kind_ = 5;  // of the last enumeration
  std::map<PipeHandle, Pipe> pipes_;
  PipeHandle next_handle_ = 1;
  HANDLE stop_event_ = nullptr;  // manual reset: set from StopTransfers() to ResumeTransfers()
};

}  // namespace tarvo::win32
