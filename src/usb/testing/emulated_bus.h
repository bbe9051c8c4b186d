#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "usb/testing/emulated_printer.h"
#include "usb/usb_backend.h"

namespace tarvo::testing {

// A test with emulated printers on the bus and the real libusb backend over them. The backend is
// made on first use; it goes before the printers do.
class EmulatedBusTest : public ::testing::Test {
 protected:
  EmulatedBusTest() { Testbed(); }

  EmulatedPrinter& Plug(EmulatedPrinterSpec spec) {
    printers_.push_back(std::make_unique<EmulatedPrinter>(std::move(spec)));
    return *printers_.back();
  }

  UsbBackend& backend() {
    if (!backend_) {
      std::string error;
      backend_ = UsbBackend::Create(&error);
      if (!backend_) ADD_FAILURE() << error;
    }
    return *backend_;
  }

  void DropBackend() { backend_.reset(); }

 private:
  std::vector<std::unique_ptr<EmulatedPrinter>> printers_;
  std::unique_ptr<UsbBackend> backend_;
};

}  // namespace tarvo::testing
