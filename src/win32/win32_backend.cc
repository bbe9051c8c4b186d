#include "win32/win32_backend.h"

#include <utility>

namespace tarvo::win32 {

Win32Backend::Win32Backend(Options options)
    : options_(std::move(options)), stop_event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!options_.wait) {
    options_.wait = [](HANDLE transfer, HANDLE stop, DWORD ms) {
      const HANDLE events[2] = {transfer, stop};
      return WaitForMultipleObjects(2, events, FALSE, ms);
    };
  }
  if (!options_.os_kind) options_.os_kind = DetectOsKind;
}

Win32Backend::~Win32Backend() {
  while (!pipes_.empty()) Close(pipes_.begin()->first);
  if (stop_event_) CloseHandle(stop_event_);
}

void Win32Backend::StopTransfers() {
  if (stop_event_) SetEvent(stop_event_);
}

void Win32Backend::ResumeTransfers() {
  if (stop_event_) ResetEvent(stop_event_);
}

std::vector<PrinterInterface> Win32Backend::Enumerate() {
  discovery_kind_ = DiscoveryKind(options_.os_kind());
  return ListPrinterInterfaces(options_.classes, discovery_kind_);
}

std::string Win32Backend::PipePath(const std::string& link, PipeName pipe, OsKind discovery_kind) {
  if (discovery_kind != 3) return link;
  return link + "\\" + std::string(PipeLabel(pipe));
}

std::optional<PipeHandle> Win32Backend::Open(const PrinterInterface& printer, PipeName pipe) {
  if (printer.location.empty()) return std::nullopt;
  const std::string path = PipePath(printer.location, pipe, discovery_kind_);
  Pipe p;
  p.file =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
  if (p.file == INVALID_HANDLE_VALUE) return std::nullopt;
  p.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!p.event) {
    CloseHandle(p.file);
    return std::nullopt;
  }
  const PipeHandle handle = next_handle_++;
  pipes_[handle] = p;
  return handle;
}

bool Win32Backend::Close(PipeHandle handle) {
  auto it = pipes_.find(handle);
  if (it == pipes_.end()) return false;
  CloseHandle(it->second.event);
  const bool closed = CloseHandle(it->second.file);
  pipes_.erase(it);
  return closed;
}

TransferResult Win32Backend::Transfer(PipeHandle handle, void* data, size_t size,
                                      uint32_t timeout_ms, bool write) {
  TransferResult result;
  auto it = pipes_.find(handle);
  if (it == pipes_.end()) return result;
  // Without its stop event the backend could not stop a transfer: it moves nothing at all.
  if (!stop_event_) return result;
  if (WaitForSingleObject(stop_event_, 0) == WAIT_OBJECT_0) {
    result.status = TransferStatus::kStopped;
    return result;
  }
  const Pipe& pipe = it->second;
  OVERLAPPED overlapped{};
  overlapped.hEvent = pipe.event;
  ResetEvent(pipe.event);
  DWORD count = 0;
  const DWORD length = static_cast<DWORD>(size);
  const BOOL started = write ? WriteFile(pipe.file, data, length, &count, &overlapped)
                             : ReadFile(pipe.file, data, length, &count, &overlapped);
  if (!started && GetLastError() != ERROR_IO_PENDING) return result;
  const DWORD waited = options_.wait(pipe.event, stop_event_, timeout_ms);
  if (GetOverlappedResult(pipe.file, &overlapped, &count, FALSE)) {
    // Done before the stop was seen: the bytes moved count.
    result.count = count;
    result.status = (!write || count == length) ? TransferStatus::kOk : TransferStatus::kError;
    return result;
  }
  const bool pending = GetLastError() == ERROR_IO_INCOMPLETE;
  CancelIo(pipe.file);
  // The system owns the buffer and the OVERLAPPED record until the cancelled transfer has ended;
  // both belong to this call, so it waits for that end before returning.
  GetOverlappedResult(pipe.file, &overlapped, &count, TRUE);
  result.count = count;
  if (waited == WAIT_OBJECT_0 + 1) {
    result.status = TransferStatus::kStopped;
  } else {
    result.status =
        pending || waited == WAIT_TIMEOUT ? TransferStatus::kTimeout : TransferStatus::kError;
  }
  return result;
}

TransferResult Win32Backend::Write(PipeHandle handle, std::span<const uint8_t> data,
                                   uint32_t timeout_ms) {
  return Transfer(handle, const_cast<uint8_t*>(data.data()), data.size(), timeout_ms, true);
}

TransferResult Win32Backend::Read(PipeHandle handle, std::span<uint8_t> buffer,
                                  uint32_t timeout_ms) {
  return Transfer(handle, buffer.data(), buffer.size(), timeout_ms, false);
}

}  // namespace tarvo::win32
