#include "usb/testing/emulated_printer.h"

// clang-format off
#include <sys/ioctl.h>  // must precede the usbfs header, which uses its macros
#include <linux/usbdevice_fs.h>
// clang-format on
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tarvo::testing {

UMockdevTestbed* Testbed() {
  static UMockdevTestbed* testbed = umockdev_testbed_new();
  return testbed;
}

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  char buf[3];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02x", b);
    out += buf;
  }
  return out;
}

constexpr uint8_t kSerialIndex = 3;

// A string descriptor: UTF-16LE of ASCII text.
std::vector<uint8_t> StringDescriptor(const std::string& text) {
  std::vector<uint8_t> out = {static_cast<uint8_t>(2 + 2 * text.size()), 3};
  for (char c : text) Put16(out, static_cast<uint8_t>(c));
  return out;
}

}  // namespace

EmulatedPrinter::EmulatedPrinter(EmulatedPrinterSpec spec) : spec_(std::move(spec)) {
  usblp_bound_ = spec_.usblp_bound;
  UMockdevTestbed* tb = Testbed();
  const int devnum = 1 + spec_.port;
  char devnum_text[16];
  std::snprintf(devnum_text, sizeof devnum_text, "%03d", devnum);
  std::string description =
      "P: /devices/usb1/" + port_path() + "\nN: bus/usb/001/" + devnum_text +
      "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n" + "E: DEVNAME=" + devnode() +
      "\nE: BUSNUM=001\nE: DEVNUM=" + devnum_text +
      "\nA: busnum=1\nA: devnum=" + std::to_string(devnum) +
      "\nA: speed=480\nA: bConfigurationValue=1\nH: descriptors=" + Hex(Descriptors()) + "\n";
  GError* error = nullptr;
  if (!umockdev_testbed_add_from_string(tb, description.c_str(), &error)) {
    std::string message = error ? error->message : "unknown";
    g_clear_error(&error);
    throw std::runtime_error("cannot add the emulated printer: " + message);
  }
  syspath_ = "/sys/devices/usb1/" + port_path();
  handler_ = umockdev_ioctl_base_new();
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedPrinter::HandleIoctlThunk), this);
  if (!umockdev_testbed_attach_ioctl(tb, devnode().c_str(), handler_, &error)) {
    std::string message = error ? error->message : "unknown";
    g_clear_error(&error);
    throw std::runtime_error("cannot serve the emulated printer: " + message);
  }
  attached_ = true;
}

EmulatedPrinter::~EmulatedPrinter() {
  Unplug();
  if (attached_) umockdev_testbed_detach_ioctl(Testbed(), devnode().c_str(), nullptr);
  g_object_unref(handler_);
  std::lock_guard lock(mu_);
  for (auto* list : {&pending_in_, &finished_}) {
    for (Urb& urb : *list) {
      g_object_unref(urb.buffer);
      g_object_unref(urb.urb);
    }
    list->clear();
  }
}

void EmulatedPrinter::Unplug() {
  {
    std::lock_guard lock(mu_);
    if (gone_) return;
    gone_ = true;
    // As the kernel does it: transfers in flight end with ESHUTDOWN and may still be reaped;
    // everything else is told ENODEV.
    while (!pending_in_.empty()) {
      FinishLocked(pending_in_.front(), -ESHUTDOWN, 0);
      pending_in_.pop_front();
    }
    pending_read_cv_.notify_all();
  }
  // The handler stays: a program that still holds the device gets ENODEV, as from the kernel.
  UMockdevTestbed* tb = Testbed();
  umockdev_testbed_uevent(tb, syspath_.c_str(), "remove");
  umockdev_testbed_remove_device(tb, syspath_.c_str());
}

std::string EmulatedPrinter::port_path() const {
  return "1-" + std::to_string(spec_.port);
}

std::string EmulatedPrinter::devnode() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "/dev/bus/usb/001/%03d", 1 + spec_.port);
  return buf;
}

bool EmulatedPrinter::IsPrinterInterface(int number) const {
  return std::find(spec_.printer_interfaces.begin(), spec_.printer_interfaces.end(), number) !=
         spec_.printer_interfaces.end();
}

std::vector<uint8_t> EmulatedPrinter::Descriptors() const {
  std::vector<uint8_t> d = {18, 1, 0x00, 0x02, 0, 0, 0, 64};
  Put16(d, spec_.vendor_id);
  Put16(d, spec_.product_id);
  Put16(d, 0x0100);
  d.push_back(1);
  d.push_back(2);
  d.push_back(spec_.serial.empty() ? 0 : kSerialIndex);
  d.push_back(1);

  std::vector<uint8_t> interfaces;
  for (int i = 0; i < spec_.interface_count; ++i) {
    const bool printer = IsPrinterInterface(i);
    interfaces.insert(interfaces.end(),
                      {9, 4, static_cast<uint8_t>(i), 0, static_cast<uint8_t>(printer ? 2 : 0),
                       static_cast<uint8_t>(printer ? 7 : 0xFF), 1, 2, 0});
    if (!printer) continue;
    // Interface n: bulk OUT endpoint 1 + 2n, bulk IN endpoint 0x82 + 2n.
    interfaces.insert(interfaces.end(), {7, 5, static_cast<uint8_t>(0x01 + 2 * i), 2});
    Put16(interfaces, spec_.max_packet);
    interfaces.push_back(0);
    interfaces.insert(interfaces.end(), {7, 5, static_cast<uint8_t>(0x82 + 2 * i), 2});
    Put16(interfaces, spec_.max_packet);
    interfaces.push_back(0);
  }
  d.insert(d.end(), {9, 2});
  Put16(d, static_cast<uint16_t>(9 + interfaces.size()));
  d.insert(d.end(), {static_cast<uint8_t>(spec_.interface_count), 1, 0, 0xC0, 50});
  d.insert(d.end(), interfaces.begin(), interfaces.end());
  return d;
}

void EmulatedPrinter::QueueReply(std::vector<uint8_t> reply) {
  std::lock_guard lock(mu_);
  replies_.push_back(std::move(reply));
  AnswerPendingReadsLocked();
}

std::vector<uint8_t> EmulatedPrinter::received() const {
  std::lock_guard lock(mu_);
  return received_;
}

std::vector<size_t> EmulatedPrinter::out_transfer_sizes() const {
  std::lock_guard lock(mu_);
  return out_sizes_;
}

bool EmulatedPrinter::usblp_bound() const {
  std::lock_guard lock(mu_);
  return usblp_bound_;
}

bool EmulatedPrinter::claimed() const {
  std::lock_guard lock(mu_);
  return claimed_;
}

void EmulatedPrinter::set_claimed_elsewhere(bool busy) {
  std::lock_guard lock(mu_);
  claimed_elsewhere_ = busy;
}

bool EmulatedPrinter::WaitForPendingRead(std::chrono::milliseconds limit) {
  std::unique_lock lock(mu_);
  return pending_read_cv_.wait_for(lock, limit, [&] { return !pending_in_.empty() || gone_; }) &&
         !gone_;
}

int EmulatedPrinter::HandleIoctlThunk(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
  return static_cast<EmulatedPrinter*>(self)->HandleIoctl(client) ? TRUE : FALSE;
}

bool EmulatedPrinter::HandleIoctl(UMockdevIoctlClient* client) {
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  {
    std::lock_guard lock(mu_);
    if (gone_ && !(request == USBDEVFS_REAPURBNDELAY && !finished_.empty())) {
      umockdev_ioctl_client_complete(client, -1, ENODEV);
      return true;
    }
  }
  auto resolve = [&](size_t len) { return umockdev_ioctl_data_resolve(arg, 0, len, nullptr); };

  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      UMockdevIoctlData* caps = resolve(sizeof(uint32_t));
      const uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION;
      std::memcpy(caps->data, &value, sizeof value);
      g_object_unref(caps);
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
      UMockdevIoctlData* number = resolve(sizeof(unsigned int));
      unsigned int iface = 0;
      std::memcpy(&iface, number->data, sizeof iface);
      g_object_unref(number);
      std::lock_guard lock(mu_);
      if (request == USBDEVFS_RELEASEINTERFACE) {
        claimed_ = false;
        umockdev_ioctl_client_complete(client, 0, 0);
      } else if (claimed_elsewhere_ || (usblp_bound_ && IsPrinterInterface(iface))) {
        umockdev_ioctl_client_complete(client, -1, EBUSY);
      } else {
        claimed_ = true;
        umockdev_ioctl_client_complete(client, 0, 0);
      }
      return true;
    }
    case USBDEVFS_GETDRIVER: {
      UMockdevIoctlData* data = resolve(sizeof(usbdevfs_getdriver));
      usbdevfs_getdriver driver;
      std::memcpy(&driver, data->data, sizeof driver);
      std::lock_guard lock(mu_);
      int err = ENODATA;
      if (usblp_bound_ && IsPrinterInterface(static_cast<int>(driver.interface))) {
        std::snprintf(driver.driver, sizeof driver.driver, "usblp");
        err = 0;
      } else if (claimed_ || claimed_elsewhere_) {
        std::snprintf(driver.driver, sizeof driver.driver, "usbfs");
        err = 0;
      }
      std::memcpy(data->data, &driver, sizeof driver);
      g_object_unref(data);
      umockdev_ioctl_client_complete(client, err ? -1 : 0, err);
      return true;
    }
    case USBDEVFS_IOCTL: {
      UMockdevIoctlData* data = resolve(sizeof(usbdevfs_ioctl));
      usbdevfs_ioctl command;
      std::memcpy(&command, data->data, sizeof command);
      g_object_unref(data);
      std::lock_guard lock(mu_);
      int err = EINVAL;
      if (command.ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT)) {
        err = usblp_bound_ ? 0 : ENODATA;
        usblp_bound_ = false;
      } else if (command.ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
        err = claimed_ ? EBUSY : 0;
        if (!err) usblp_bound_ = true;
      }
      umockdev_ioctl_client_complete(client, err ? -1 : 0, err);
      return true;
    }
    case USBDEVFS_SUBMITURB:
      Submit(client);
      return true;
    case USBDEVFS_REAPURBNDELAY:
      Reap(client);
      return true;
    case USBDEVFS_DISCARDURB:
      Discard(client);
      return true;
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_SETINTERFACE:
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    default:
      umockdev_ioctl_client_complete(client, -1, ENOTTY);
      return true;
  }
}

void EmulatedPrinter::Submit(UMockdevIoctlClient* client) {
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  Urb urb;
  urb.urb = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
  usbdevfs_urb header;
  std::memcpy(&header, urb.urb->data, sizeof header);
  urb.endpoint = header.endpoint;
  urb.buffer = umockdev_ioctl_data_resolve(urb.urb, offsetof(usbdevfs_urb, buffer),
                                           static_cast<size_t>(header.buffer_length), nullptr);
  std::lock_guard lock(mu_);
  if (header.type == USBDEVFS_URB_TYPE_CONTROL) {
    Control(urb);
  } else if (header.type != USBDEVFS_URB_TYPE_BULK) {
    FinishLocked(urb, -EINVAL, 0);
  } else if (urb.endpoint & 0x80) {
    pending_in_.push_back(urb);
    AnswerPendingReadsLocked();
    pending_read_cv_.notify_all();
  } else {
    received_.insert(received_.end(), urb.buffer->data, urb.buffer->data + urb.buffer->data_len);
    out_sizes_.push_back(static_cast<size_t>(urb.buffer->data_len));
    FinishLocked(urb, 0, static_cast<size_t>(urb.buffer->data_len));
  }
  umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedPrinter::Control(Urb& urb) {
  const uint8_t* setup = urb.buffer->data;
  const size_t capacity = static_cast<size_t>(urb.buffer->data_len);
  if (capacity < 8) return FinishLocked(urb, -EINVAL, 0);
  const uint16_t value = static_cast<uint16_t>(setup[2] | setup[3] << 8);
  std::vector<uint8_t> answer;
  if (setup[0] == 0x80 && setup[1] == 6 && (value >> 8) == 3) {
    const uint8_t index = value & 0xFF;
    if (index == 0) {
      answer = {4, 3, 0x09, 0x04};  // US English only
    } else if (index == kSerialIndex && !spec_.serial.empty()) {
      answer = StringDescriptor(spec_.serial);
    } else if (index == 1 || index == 2) {
      answer = StringDescriptor(index == 1 ? "Maker" : "Printer");
    }
  }
  if (answer.empty()) return FinishLocked(urb, -EPIPE, 0);  // a stall, as for any unknown request
  const size_t n = std::min(answer.size(), capacity - 8);
  std::memcpy(urb.buffer->data + 8, answer.data(), n);
  FinishLocked(urb, 0, n);
}

void EmulatedPrinter::AnswerPendingReadsLocked() {
  while (!pending_in_.empty() && !replies_.empty()) {
    Urb urb = pending_in_.front();
    pending_in_.pop_front();
    std::vector<uint8_t> reply = std::move(replies_.front());
    replies_.pop_front();
    const size_t n = std::min(reply.size(), static_cast<size_t>(urb.buffer->data_len));
    std::memcpy(urb.buffer->data, reply.data(), n);
    FinishLocked(urb, 0, n);
  }
}

void EmulatedPrinter::FinishLocked(Urb urb, int status, size_t length) {
  usbdevfs_urb header;
  std::memcpy(&header, urb.urb->data, sizeof header);
  header.status = status;
  header.actual_length = static_cast<int>(length);
  std::memcpy(urb.urb->data, &header, sizeof header);
  finished_.push_back(urb);
}

void EmulatedPrinter::Reap(UMockdevIoctlClient* client) {
  Urb urb;
  {
    std::lock_guard lock(mu_);
    if (finished_.empty()) {
      umockdev_ioctl_client_complete(client, -1, EAGAIN);
      return;
    }
    urb = finished_.front();
    finished_.pop_front();
  }
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  UMockdevIoctlData* slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
  umockdev_ioctl_data_set_ptr(slot, 0, urb.urb);
  umockdev_ioctl_client_complete(client, 0, 0);
  g_object_unref(slot);
  g_object_unref(urb.buffer);
  g_object_unref(urb.urb);
}

void EmulatedPrinter::Discard(UMockdevIoctlClient* client) {
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  unsigned long address = 0;
  std::memcpy(&address, arg->data, std::min(sizeof address, static_cast<size_t>(arg->data_len)));
  std::lock_guard lock(mu_);
  auto it = std::find_if(pending_in_.begin(), pending_in_.end(),
                         [&](const Urb& u) { return u.urb->client_addr == address; });
  if (it == pending_in_.end()) {
    umockdev_ioctl_client_complete(client, -1, EINVAL);
    return;
  }
  Urb urb = *it;
  pending_in_.erase(it);
  FinishLocked(urb, -ENOENT, 0);
  umockdev_ioctl_client_complete(client, 0, 0);
}

}  // namespace tarvo::testing
