#pragma once

#include <exception>
#include <functional>
#include <utility>

#include "base/context.h"
#include "base/stop_request.h"

namespace tarvo {

// The closing steps an operation always ends with (the carriage home and locked, say), sent also
// when the operation ends early: its operator could not answer (a script that ran out, a terminal
// that closed) and the abort unwinds through it. A stop request still ends the operation at once,
// without them. Call Dismiss() where the operation comes to its closing steps itself.
class ClosingSteps {
 public:
  ClosingSteps(const Context& ctx, std::function<void()> steps)
      : ctx_(ctx), steps_(std::move(steps)), unwinding_(std::uncaught_exceptions()) {}
  ~ClosingSteps() {
    if (!steps_ || std::uncaught_exceptions() <= unwinding_) return;
    if (ctx_.stop && ctx_.stop->requested()) return;
    try {
      steps_();
    } catch (...) {
      // A failed step's message that the operator cannot answer either, or a stop made now, ends
      // the closing steps; the abort already on its way is what the front end tells.
    }
  }
  ClosingSteps(const ClosingSteps&) = delete;
  ClosingSteps& operator=(const ClosingSteps&) = delete;

  void Dismiss() { steps_ = nullptr; }

 private:
  const Context& ctx_;
  std::function<void()> steps_;
  int unwinding_;
};

}  // namespace tarvo
