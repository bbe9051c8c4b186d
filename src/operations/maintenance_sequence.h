#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/context.h"
#include "base/edition.h"
#include "base/outcome.h"
#include "base/wait_observer.h"
#include "link/printer_link.h"
#include "protocol/packets.h"

namespace tarvo {

// The fixed motor sequences as data. A sequence is a list of steps; a step is one motor command,
// one job mark, one wait, one information prompt or a whole group of steps (groups A and B recur
// in most sequences). A step may be marked for one edition only, or for the ink discharge copies
// that need it, so that one table per operation reads line by line against the printer's
// documentation.

struct DisChargeCopy;

enum class StepKind : uint8_t { kMotor, kJobMark, kWait, kPrompt, kGroup };

// Which runs of a sequence a step belongs to.
enum class StepOnly : uint8_t {
  kAlways,
  kProgram,
  kLibrary,
  kJigLock,        // discharge copies that lock the carriage after each jig prompt
  kHomeBeforeEnd,  // discharge copies that home the carriage before the closing job mark
};

// Step counts and waits that a discharge step takes from the row of its copy (DisChargeCopy).
// The counts lie beyond the 24 bits a motor command carries, so they are never real ones.
inline constexpr uint32_t kStepsS = 0x0100'0000;
inline constexpr uint32_t kStepsN = 0x0100'0001;
inline constexpr int64_t kWaitW = -1;

// The two jig prompts of the discharge, whose texts differ from copy to copy.
enum class JigPrompt : uint8_t { kNone, kFirst, kSecond };

struct Sequence;

struct Step {
  StepKind kind = StepKind::kWait;
  MotorArgs motor{};
  JobMarkArgs mark{};
  int64_t ms = 0;
  EditionText prompt{};  // an information box under kPromptCaption
  JigPrompt jig = JigPrompt::kNone;
  const Sequence* group = nullptr;
  StepOnly only = StepOnly::kAlways;

  constexpr Step() = default;
  // M(...) and J(...) stand in a table as they are written.
  constexpr Step(MotorArgs m) : kind(StepKind::kMotor), motor(m) {}     // NOLINT: implicit
  constexpr Step(JobMarkArgs j) : kind(StepKind::kJobMark), mark(j) {}  // NOLINT: implicit
};

struct Sequence {
  std::string_view name;
  std::span<const Step> steps;
  // What its waits are called where the seconds left are shown; a group's waits take the name of
  // the sequence that runs it.
  EditionText wait_label = wait_labels::kWaiting;
};

// Every prompt of the motor sequences is an information box under this caption.
inline constexpr std::string_view kPromptCaption = "Ink DisCharge";

constexpr Step Wait(int64_t ms) {
  Step s;
  s.kind = StepKind::kWait;
  s.ms = ms;
  return s;
}
constexpr Step Prompt(EditionText text) {
  Step s;
  s.kind = StepKind::kPrompt;
  s.prompt = text;
  return s;
}
constexpr Step Prompt(JigPrompt jig) {
  Step s;
  s.kind = StepKind::kPrompt;
  s.jig = jig;
  return s;
}
constexpr Step Run(const Sequence& group) {
  Step s;
  s.kind = StepKind::kGroup;
  s.group = &group;
  return s;
}
constexpr Step Only(StepOnly only, Step s) {
  s.only = only;
  return s;
}
constexpr Step ProgramOnly(Step s) {
  return Only(StepOnly::kProgram, s);
}
constexpr Step LibraryOnly(Step s) {
  return Only(StepOnly::kLibrary, s);
}

// What the EEPROM finishing of a discharge clears in the image it writes.
enum class Finishing : uint8_t {
  kClearCounters,        // offsets 41-109 and 112-121
  kClearCountersAnd122,  // offsets 41-109 and 112-122
  kFlagsOnCurrentImage,  // writes flags only; the counters are cleared in the current image
};

// One column of the table of differences between the four copies of the ink discharge: program
// and library, each with and without the final power-off. (Whether the library's opening marks
// are sent is an edition matter and stands in the table itself.)
struct DisChargeCopy {
  std::string_view name;  // "InkDisCharge" or "InkDisChargeNoPowerOff"
  uint32_t s;             // carriage steps before and after the jig prompts
  std::string_view first_jig_prompt;
  bool jig_lock;  // M(0,0,7,250,6,1) after each jig prompt
  uint32_t n;     // the second pump run of each half of a cycle
  int64_t w;      // the wait that ends a cycle
  std::string_view second_jig_prompt;
  bool home_before_end;  // M(0,0,0,0,6,0) before the closing job mark
  bool power_off;
  std::span<const std::string_view> closing_prompts;
  Finishing finishing;
};

// Runs a sequence on the link: commands in order, each failed write told by its own message and
// passed over; waits through ctx.Wait so the operator sees them counted down. `copy` gives the
// values of discharge steps; without it such a step is left out. The outcome is the first failed
// command's: the sequence went on, but the printer was not driven as it should have been.
// `job_open`, when given, follows the job marks sent: set by one that opens a job, cleared by the
// J(1,0) that closes it, so that an operation ending early knows whether to close it.
Outcome RunSequence(const Context& ctx, PrinterLink& link, const Sequence& sequence,
                    const DisChargeCopy* copy = nullptr, bool* job_open = nullptr);

// Whether a step belongs to this run.
bool StepRuns(const Step& step, const Edition& edition, const DisChargeCopy* copy);

}  // namespace tarvo
