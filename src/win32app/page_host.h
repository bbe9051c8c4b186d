#pragma once

#include <functional>

#include "base/context.h"
#include "link/printer_link.h"

namespace tarvo::win32app {

// What a page needs of the window around it: the ports and the printer link its model is made
// with, and the device worker that runs every operation, one at a time.
//
// Threads: the models are driven only on the worker, inside an operation, and read on the GUI
// thread only while none runs (PageWindow::OperationEnded comes after the worker let go).
class PageHost {
 public:
  using Operation = std::function<void(const Context&, PrinterLink&)>;

  virtual ~PageHost() = default;

  virtual const Context& ctx() const = 0;
  virtual PrinterLink& link() = 0;
  // Runs `operation` on the worker. False, and nothing runs, while another one runs.
  // `reaches_printer` is false for work that never opens the link (the settings editors, the
  // station choice).
  virtual bool RunOperation(Operation operation, bool reaches_printer = true) = 0;
  virtual bool busy() const = 0;
};

}  // namespace tarvo::win32app
