#pragma once

#include <functional>

#include "base/context.h"
#include "link/printer_link.h"

namespace tarvo::pages {

// What a page view needs of the program around it: the ports and the printer link its model is
// made with, and the one device worker that runs every operation. The program's main window is
// the host; tests give a host of their own.
//
// Threads: the models are driven only on the device worker, inside an operation, and read by the
// views on the GUI thread only while no operation runs (the end of an operation is told to the
// views through PageView::OperationEnded, after the worker has let go of the model).
class PageHost {
 public:
  using Operation = std::function<void(const Context&, PrinterLink&)>;

  virtual ~PageHost() = default;

  virtual const Context& ctx() const = 0;
  virtual PrinterLink& link() = 0;

  // Runs `operation` on the device worker. False, and nothing runs, while another one runs.
  virtual bool RunOperation(Operation operation) = 0;
  virtual bool busy() const = 0;
};

}  // namespace tarvo::pages
