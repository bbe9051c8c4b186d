#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// umockdev's types, kept out of the tests' way.
typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace tarvo::testing {

// The process's umockdev testbed. Made on first use, before anything asks whether it runs in a
// mocked environment (umockdev caches that answer), and before libusb is initialised.
UMockdevTestbed* Testbed();

// What an emulated printer looks like on the bus.
struct EmulatedPrinterSpec {
  uint16_t vendor_id = 0x0A3C;
  uint16_t product_id = 0x7251;
  int port = 1;                   // attached at bus 1, port `port`; device address 1 + port
  std::string serial = "SN0001";  // empty: the device has no serial number string
  int interface_count = 1;        // interfaces 0 .. n-1
  std::vector<int> printer_interfaces = {0};  // which of them are of the printer class
  uint16_t max_packet = 512;                  // of the bulk endpoints
  bool usblp_bound = true;  // the kernel's printer driver holds the printer interfaces
};

// A USB printer emulated at the kernel's usbfs interface: libusb opens, claims and transfers on
// it as on real hardware. Bulk OUT data is collected, bulk IN transfers are answered from a queue
// of replies (a read waits while the queue is empty). Thread-safe: umockdev serves the device
// from its own thread.
class EmulatedPrinter {
 public:
  explicit EmulatedPrinter(EmulatedPrinterSpec spec);
  ~EmulatedPrinter();
  EmulatedPrinter(const EmulatedPrinter&) = delete;
  EmulatedPrinter& operator=(const EmulatedPrinter&) = delete;

  const EmulatedPrinterSpec& spec() const { return spec_; }
  std::string port_path() const;  // "1-<port>"

  void QueueReply(std::vector<uint8_t> reply);
  std::vector<uint8_t> received() const;           // every byte of the bulk OUT transfers
  std::vector<size_t> out_transfer_sizes() const;  // bytes per bulk OUT URB
  bool usblp_bound() const;
  bool claimed() const;
  void set_claimed_elsewhere(bool busy);  // another program holds the interface

  // Blocks until a bulk IN transfer is waiting for data (false after `limit`).
  bool WaitForPendingRead(std::chrono::milliseconds limit);
  // The printer is pulled out: transfers in flight and every later request fail as on a
  // vanished device, and it leaves the bus.
  void Unplug();

 private:
  struct Urb {
    UMockdevIoctlData* urb = nullptr;     // the client's struct usbdevfs_urb (owned ref)
    UMockdevIoctlData* buffer = nullptr;  // its data buffer (owned ref)
    uint8_t endpoint = 0;
  };

  static int HandleIoctlThunk(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
  bool HandleIoctl(UMockdevIoctlClient* client);
  void Submit(UMockdevIoctlClient* client);
  void Reap(UMockdevIoctlClient* client);
  void Discard(UMockdevIoctlClient* client);
  void Control(Urb& urb);
  void FinishLocked(Urb urb, int status, size_t length);
  void AnswerPendingReadsLocked();
  bool IsPrinterInterface(int number) const;
  std::vector<uint8_t> Descriptors() const;
  std::string devnode() const;

  EmulatedPrinterSpec spec_;
  std::string syspath_;
  UMockdevIoctlBase* handler_ = nullptr;
  bool attached_ = false;

  mutable std::mutex mu_;
  std::condition_variable pending_read_cv_;
  bool gone_ = false;
  bool usblp_bound_ = true;
  bool claimed_ = false;
  bool claimed_elsewhere_ = false;
  std::deque<std::vector<uint8_t>> replies_;
  std::vector<uint8_t> received_;
  std::vector<size_t> out_sizes_;
  std::deque<Urb> pending_in_;
  std::deque<Urb> finished_;
};

}  // namespace tarvo::testing
