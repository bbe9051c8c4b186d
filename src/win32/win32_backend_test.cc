// Overlapped transfers against a stand-in printer on a named pipe: the test holds the server end,
// the backend opens the pipe by name as it opens a printer interface. The waits for the
// transfers' limits are the test's own and pass at once, so no test waits for real.
#include "win32/win32_backend.h"

#include <gmock/gmock.h>

#include <future>
#include <thread>
#include <vector>

namespace tarvo::win32 {
namespace {

using ::testing::ElementsAre;

// The printer's end of the pipe.
class StandInPrinter {
 public:
  explicit StandInPrinter(DWORD buffer_size) {
    static int serial = 0;
    name_ = "\\\\.\\pipe\\tarvo-printer-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    pipe_ = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, buffer_size,
                             buffer_size, 0, nullptr);
    event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  ~StandInPrinter() {
    CloseHandle(event_);
    CloseHandle(pipe_);
  }

  bool ok() const { return pipe_ != INVALID_HANDLE_VALUE; }
  PrinterInterface Interface() const {
    PrinterInterface p;
    p.instance = "USB\\VID_0A3C&PID_7251\\STANDIN";
    p.linked = true;
    p.location = name_;
    return p;
  }

  void Send(std::vector<uint8_t> bytes) {
    OVERLAPPED o{};
    o.hEvent = event_;
    DWORD n = 0;
    if (!WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &o)) {
      GetOverlappedResult(pipe_, &o, &n, TRUE);
    }
  }
  std::vector<uint8_t> Receive(size_t size) {
    std::vector<uint8_t> bytes(size);
    OVERLAPPED o{};
    o.hEvent = event_;
    DWORD n = 0;
    if (!ReadFile(pipe_, bytes.data(), static_cast<DWORD>(size), &n, &o)) {
      GetOverlappedResult(pipe_, &o, &n, TRUE);
    }
    bytes.resize(n);
    return bytes;
  }

 private:
  std::string name_;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
};

class Win32BackendTest : public ::testing::Test {
 protected:
  Win32BackendTest() {
    Win32Backend::Options options;
    options.os_kind = [] { return OsKind{0}; };
    // The limit passes at once unless the transfer is already done.
    options.wait = [this](HANDLE transfer, HANDLE stop, DWORD ms) {
      limits_.push_back(ms);
      if (while_pending_) while_pending_();
      const HANDLE events[2] = {transfer, stop};
      return WaitForMultipleObjects(2, events, FALSE, wait_for_real_ ? INFINITE : 0);
    };
    backend_ = std::make_unique<Win32Backend>(std::move(options));
  }

  std::vector<DWORD> limits_;
  // Runs while the transfer is pending, before the wait.
  std::function<void()> while_pending_;
  // The wait lasts until the transfer ends or a stop comes, whatever the limit.
  bool wait_for_real_ = false;
  std::unique_ptr<Win32Backend> backend_;
};

TEST_F(Win32BackendTest, BothPipesOpenTheInterfaceAndMoveBytes) {
  StandInPrinter printer(4096);
  ASSERT_TRUE(printer.ok());
  auto write = backend_->Open(printer.Interface(), PipeName::kWrite);
  ASSERT_TRUE(write);

  const std::vector<uint8_t> command = {0x1B, 0x7C, 0x00, 0x02, 0x81, 0x00, 0x00, 0x83};
  TransferResult sent = backend_->Write(*write, command, 9000000);
  EXPECT_TRUE(sent.ok());
  EXPECT_EQ(sent.count, 8u);
  EXPECT_EQ(printer.Receive(8), command);

  printer.Send({0x1B, 0x7C, 0x01});
  std::vector<uint8_t> reply(128);
  TransferResult got = backend_->Read(*write, reply, 180000);
  EXPECT_TRUE(got.ok());
  EXPECT_EQ(got.count, 3u);
  EXPECT_THAT(std::vector<uint8_t>(reply.begin(), reply.begin() + 3), ElementsAre(0x1B, 0x7C, 1));
  EXPECT_THAT(limits_, ElementsAre(9000000u, 180000u));

  EXPECT_TRUE(backend_->Close(*write));
  EXPECT_FALSE(backend_->Close(*write));
  EXPECT_FALSE(backend_->Read(*write, reply, 10).ok());
}

TEST_F(Win32BackendTest, AReadWithNothingToReadTimesOutAndIsCancelled) {
  StandInPrinter printer(4096);
  auto read = backend_->Open(printer.Interface(), PipeName::kRead);
  ASSERT_TRUE(read);
  std::vector<uint8_t> reply(128, 0xEE);
  TransferResult got = backend_->Read(*read, reply, 10000);
  EXPECT_EQ(got.status, TransferStatus::kTimeout);
  EXPECT_EQ(got.count, 0u);
  EXPECT_THAT(limits_, ElementsAre(10000u));

  // The cancelled read took nothing: the next reply is read whole.
  printer.Send({0x40, 0x41});
  got = backend_->Read(*read, reply, 10000);
  EXPECT_TRUE(got.ok());
  EXPECT_EQ(got.count, 2u);
  EXPECT_EQ(reply[0], 0x40);
}

TEST_F(Win32BackendTest, AWriteThatNeverCompletesIsCancelledAtItsLimit) {
  StandInPrinter printer(64);  // a printer that has stopped taking data
  auto write = backend_->Open(printer.Interface(), PipeName::kWrite);
  ASSERT_TRUE(write);
  std::vector<uint8_t> data(256 * 1024, 0x55);
  TransferResult sent = backend_->Write(*write, data, 9000000);
  EXPECT_EQ(sent.status, TransferStatus::kTimeout);
  EXPECT_THAT(limits_, ElementsAre(9000000u));
  // The link goes on working after the cancel.
  printer.Send({1, 2, 3});
  std::vector<uint8_t> reply(128);
  EXPECT_TRUE(backend_->Read(*write, reply, 1000).ok());
}

TEST_F(Win32BackendTest, AStopFromAnotherThreadEndsThePendingReadAndLaterOnesUntilResumed) {
  StandInPrinter printer(4096);
  auto read = backend_->Open(printer.Interface(), PipeName::kRead);
  ASSERT_TRUE(read);
  // The device thread reads with nothing coming and waits without limit; the stop comes from
  // this thread once the read is pending.
  wait_for_real_ = true;
  std::promise<void> pending;
  std::future<void> is_pending = pending.get_future();
  while_pending_ = [&pending] { pending.set_value(); };
  std::vector<uint8_t> reply(128, 0xEE);
  auto device =
      std::async(std::launch::async, [&] { return backend_->Read(*read, reply, 9000000); });
  is_pending.wait();
  backend_->StopTransfers();
  TransferResult got = device.get();
  EXPECT_EQ(got.status, TransferStatus::kStopped);
  EXPECT_EQ(got.count, 0u);
  while_pending_ = nullptr;

  // Stopped transfers do not even start, reads and writes alike.
  printer.Send({0x40, 0x41});
  EXPECT_EQ(backend_->Read(*read, reply, 10000).status, TransferStatus::kStopped);
  const std::vector<uint8_t> command = {0x1B, 0x7C};
  EXPECT_EQ(backend_->Write(*read, command, 10000).status, TransferStatus::kStopped);
  EXPECT_THAT(limits_, ElementsAre(9000000u));

  // Resumed, the link works again: the cancelled read took nothing of the reply sent since.
  backend_->ResumeTransfers();
  got = backend_->Read(*read, reply, 10000);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.count, 2u);
  EXPECT_EQ(reply[0], 0x40);
  EXPECT_TRUE(backend_->Write(*read, command, 10000).ok());
  EXPECT_EQ(printer.Receive(2), command);
}

TEST_F(Win32BackendTest, AStoppedWriteThatNeverCompletesIsCancelledAndWaitedOut) {
  StandInPrinter printer(64);  // a printer that has stopped taking data
  auto write = backend_->Open(printer.Interface(), PipeName::kWrite);
  ASSERT_TRUE(write);
  wait_for_real_ = true;
  while_pending_ = [this] { std::thread([this] { backend_->StopTransfers(); }).join(); };
  std::vector<uint8_t> data(256 * 1024, 0x55);
  TransferResult sent = backend_->Write(*write, data, 9000000);
  EXPECT_EQ(sent.status, TransferStatus::kStopped);
  EXPECT_LT(sent.count, data.size());
  // The buffer is the system's no longer: it can go, and the pipe serves the next transfer.
  data.clear();
  data.shrink_to_fit();
  while_pending_ = nullptr;
  backend_->ResumeTransfers();
  printer.Send({7});
  std::vector<uint8_t> reply(8);
  EXPECT_TRUE(backend_->Read(*write, reply, 1000).ok());
}

TEST_F(Win32BackendTest, AnInterfaceThatIsGoneDoesNotOpen) {
  PrinterInterface gone;
  gone.location = "\\\\.\\pipe\\tarvo-no-such-printer";
  EXPECT_FALSE(backend_->Open(gone, PipeName::kWrite));
  EXPECT_FALSE(backend_->Open(PrinterInterface{}, PipeName::kWrite));
}

}  // namespace
}  // namespace tarvo::win32
