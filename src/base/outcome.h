#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tarvo {

// How a device operation ended, and why.
enum class OutcomeKind {
  kDone,            // did what it was asked
  kVerifyFailed,    // written, but the read-back does not hold what was meant
  kCancelled,       // the operator cancelled, or the operation chose to do nothing
  kTransferFailed,  // a write or read on the printer link failed or timed out
  kOutOfRange,      // a value out of the range the printer takes
  kNotDone,         // refused before anything was sent: a file missing, a precondition unmet
};

// The result of a device operation as a value: what happened and, when it failed, the failing
// step in the words the operator was shown ("Write EEPROM Error !!") or, where nothing was shown,
// a short description. Operations still tell the operator themselves; the outcome is for the
// caller (the step runner, the records, the exit status of tarvo-cli).
//
// An operation that goes on past a failed step (a fixed motor sequence, the motor moves around a
// head ID, a chart printed during an adjustment) keeps the first such failure with `passed_over`
// set: the operation still failed, but what it was asked for was done, so a result it hands on
// (a host's result code, a value read) stands. A failure that ended the operation, or that
// decides its result, wins over one passed over.
struct Outcome {
  OutcomeKind kind = OutcomeKind::kDone;
  std::string step;
  bool passed_over = false;

  static Outcome Done() { return {}; }
  static Outcome Failed(OutcomeKind kind, std::string step) { return {kind, std::move(step)}; }
  static Outcome VerifyFailed(std::string step) {
    return Failed(OutcomeKind::kVerifyFailed, std::move(step));
  }
  static Outcome Cancelled(std::string step = {}) {
    return Failed(OutcomeKind::kCancelled, std::move(step));
  }
  static Outcome TransferFailed(std::string step) {
    return Failed(OutcomeKind::kTransferFailed, std::move(step));
  }
  static Outcome OutOfRange(std::string step) {
    return Failed(OutcomeKind::kOutOfRange, std::move(step));
  }
  static Outcome NotDone(std::string step) {
    return Failed(OutcomeKind::kNotDone, std::move(step));
  }
  // Done when `ok`, else the failure given.
  static Outcome From(bool ok, OutcomeKind kind, std::string step) {
    return ok ? Done() : Failed(kind, std::move(step));
  }

  bool ok() const { return kind == OutcomeKind::kDone; }
  explicit operator bool() const { return ok(); }
  // Done, or failed only in steps the operation went on past: what it was asked for was done.
  bool achieved() const { return ok() || passed_over; }

  // Keeps the first failed step of an operation that goes on past failures (a fixed sequence).
  void Note(const Outcome& step) {
    if (ok() && !step.ok()) *this = step;
  }
  // The same for a step whose failure leaves what was asked done (a motor move around a write,
  // a query whose value has a stand-in): the failure is kept as passed over.
  void PassOver(const Outcome& step) {
    if (ok() && !step.ok()) {
      *this = step;
      passed_over = true;
    }
  }
  // How an operation ended that noted the steps here and then ended with `end`: a failure of
  // `end` wins, else the first failure noted here, else `end`.
  Outcome Then(Outcome end) const {
    if (!end.achieved() || ok()) return end;
    return *this;
  }

  // The small result code the pages and the library's hosts read: 1 done, 0 EEPROM verification
  // failed, 3 out of range, 2 everything else (cancelled, not done, a transfer failed).
  int Code() const {
    switch (kind) {
      case OutcomeKind::kDone:
        return 1;
      case OutcomeKind::kVerifyFailed:
        return 0;
      case OutcomeKind::kOutOfRange:
        return 3;
      default:
        return 2;
    }
  }
  // The result code of what was asked: 1 when only steps passed over failed.
  int ResultCode() const { return passed_over ? 1 : Code(); }
};

// A short English name of the kind, for logs, records and tarvo-cli's output lines.
inline std::string_view KindName(OutcomeKind kind) {
  switch (kind) {
    case OutcomeKind::kDone:
      return "done";
    case OutcomeKind::kVerifyFailed:
      return "verification failed";
    case OutcomeKind::kCancelled:
      return "cancelled";
    case OutcomeKind::kTransferFailed:
      return "transfer failed";
    case OutcomeKind::kOutOfRange:
      return "out of range";
    case OutcomeKind::kNotDone:
      return "not done";
  }
  return "unknown";
}

}  // namespace tarvo
