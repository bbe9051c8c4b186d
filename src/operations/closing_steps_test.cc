// An operator that cannot answer in the middle of an operation: the closing steps the operation
// always ends with still reach the printer before the abort goes on; a stop request still ends
// it at once.
#include "operations/closing_steps.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/line_sink.h"
#include "base/stop_request.h"
#include "model/device_state.h"
#include "model/rom_layout.h"
#include "operations/head_id.h"
#include "operations/maintenance.h"
#include "operators/script_operator.h"
#include "testing/device_rig.h"
#include "testing/sim_fixture.h"

namespace tarvo {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

const std::vector<std::string> kCarriageAside = {"J(0,0)", "M(0,0,0,0,0,4)", "M(0,1,2,210,6,1)",
                                                 "M(0,0,0,0,0,5)"};
const std::vector<std::string> kHomeAndLock = {"M(0,0,0,0,0,6)", "M(0,0,2,180,6,1)",
                                               "M(0,0,0,0,6,0)", "M(0,0,0,0,0,3)", "J(1,0)"};

std::vector<std::string> Tail(const std::vector<std::string>& traffic, size_t n) {
  return std::vector<std::string>(
      traffic.end() - static_cast<std::ptrdiff_t>(std::min(n, traffic.size())), traffic.end());
}

template <typename Base>
struct HeadIdAbort : Base {
  // SetHeadID answered by `script`; the message of the abort it ends with, empty when it returns.
  std::string RunScripted(std::string_view script, HeadBlock* host = nullptr) {
    ScriptOperator op(script, transcript, "station.script");
    Context scripted{this->ctx.edition, this->clock, op, this->settings, this->wire};
    HeadBlock write{}, read{};
    try {
      static_cast<void>(SetHeadID(scripted, this->link, write, read, host));
    } catch (const OperatorAborted& e) {
      return e.what();
    }
    return {};
  }

  MemoryLineSink transcript;
};

using LibraryHeadIdAbort = HeadIdAbort<LibrarySimFixture>;
using ProgramHeadIdAbort = HeadIdAbort<SimFixture>;

TEST_F(LibraryHeadIdAbort, ScriptRunOutAtTheHeadIdDialogStillHomesAndLocksTheCarriage) {
  const RomImage before = printer.eeprom();
  HeadBlock host;
  host.fill(0x41);

  EXPECT_THAT(RunScripted("", &host), HasSubstr("ran out at dialog 179 \"Input Head ID\""));

  const std::vector<std::string> traffic = Traffic();
  std::vector<std::string> expected = kCarriageAside;
  expected.insert(expected.end(), kHomeAndLock.begin(), kHomeAndLock.end());
  EXPECT_THAT(Tail(traffic, expected.size()), ElementsAreArray(expected));
  EXPECT_EQ(printer.eeprom(), before);
  HeadBlock unchanged;
  unchanged.fill(0x41);
  EXPECT_EQ(host, unchanged);
  EXPECT_THAT(transcript.lines().back(), HasSubstr("aborted station.script ran out at dialog 179"));
}

TEST_F(ProgramHeadIdAbort, ScriptRunOutAtTheResultMessageKeepsTheIdAndStillClosesFully) {
  EXPECT_THAT(RunScripted("enter ab12cd\n"),
              HasSubstr("ran out at message box \"Head ID: Write EEPROM Success !!\""));

  EXPECT_EQ(std::string(printer.eeprom().begin() + kHeadIdOffset,
                        printer.eeprom().begin() + kHeadIdOffset + kHeadIdSize),
            "AB12CD");
  std::vector<std::string> expected = kHomeAndLock;
  expected.insert(expected.end(), {"J(0,0)", "M(0,0,0,0,0,3)", "J(1,0)"});
  EXPECT_THAT(Tail(Traffic(), expected.size()), ElementsAreArray(expected));
}

TEST_F(LibraryHeadIdAbort, AScriptThatAnswersSendsWhatItAlwaysDidAndTheClosingOnlyOnce) {
  EXPECT_EQ(RunScripted("enter ab12cd\nok\n"), "");
  const std::vector<std::string> traffic = Traffic();
  EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "M(0,0,2,180,6,1)"), 1);
  EXPECT_THAT(Tail(traffic, kHomeAndLock.size()), ElementsAreArray(kHomeAndLock));
}

TEST_F(LibraryHeadIdAbort, StopAtTheHeadIdDialogEndsAtOnceWithoutClosingSteps) {
  StopRequest stop;
  Context stoppable{ctx.edition, clock, op, settings, wire, {}, &stop};
  // The window's operator, once the stop is made.
  op.QueueDialog([&stop](DialogModel&) -> int {
    stop.Request();
    throw OperationStopped();
  });
  HeadBlock write{}, read{}, host{};
  EXPECT_THROW(static_cast<void>(SetHeadID(stoppable, link, write, read, &host)), OperationStopped);
  EXPECT_THAT(Tail(Traffic(), kCarriageAside.size()), ElementsAreArray(kCarriageAside));
}

// Every operation whose operator cannot answer part-way: the script runs out at the prompt named,
// and the printer's job is left closed, with the closing steps the operation always ends with on
// the wire and nothing after them.
struct AbortCase {
  std::string name;
  const Edition* edition;
  std::string script;
  std::function<Outcome(const Context&, PrinterLink&, DeviceState&)> run;
  std::string aborted_at;              // part of the abort's message
  std::vector<std::string> ends_with;  // the end of the traffic
  int jobs;                            // job marks J(0,x) sent, each closed by one J(1,0)
};

void PrintTo(const AbortCase& c, std::ostream* os) {
  *os << c.name;
}

struct OperatorCannotAnswer : ::testing::TestWithParam<AbortCase>, testing::DeviceRig {
  OperatorCannotAnswer() : testing::DeviceRig(*GetParam().edition) {}
  void SetUp() override { ASSERT_TRUE(Open()); }
};

TEST_P(OperatorCannotAnswer, ClosesTheJobWithTheClosingStepsBeforeTheAbortGoesOn) {
  const AbortCase& c = GetParam();
  MemoryLineSink transcript;
  ScriptOperator script(c.script, transcript, "station.script");
  Context scripted{ctx.edition, clock, script, settings, wire};
  DeviceState state;
  std::string aborted;
  try {
    static_cast<void>(c.run(scripted, link, state));
  } catch (const OperatorAborted& e) {
    aborted = e.what();
  }
  EXPECT_THAT(aborted, HasSubstr(c.aborted_at));

  const std::vector<std::string> traffic = Traffic();
  EXPECT_THAT(Tail(traffic, c.ends_with.size()), ElementsAreArray(c.ends_with));
  const auto opened = std::count_if(traffic.begin(), traffic.end(),
                                    [](const std::string& t) { return t.starts_with("J(0,"); });
  EXPECT_EQ(opened, c.jobs);
  EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "J(1,0)"), c.jobs);
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Outcome HeadId(const Context& ctx, PrinterLink& link, DeviceState&) {
  HeadBlock write{}, read{};
  return SetHeadID(ctx, link, write, read, nullptr);
}
Outcome Charge(const Context& ctx, PrinterLink& link, DeviceState&) {
  return InkCharge(ctx, link);
}
Outcome DisCharge(const Context& ctx, PrinterLink& link, DeviceState& state) {
  return InkDisCharge(ctx, link, state, 1);
}
Outcome DisChargeNoPowerOff(const Context& ctx, PrinterLink& link, DeviceState& state) {
  return InkDisChargeNoPowerOff(ctx, link, state, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperationWithPrompts, OperatorCannotAnswer,
    ::testing::Values(
        AbortCase{
            "ProgramHeadIdDialog", &kProgramEdition, "", HeadId,
            "ran out at dialog 179 \"Input Head ID\"",
            Joined(Joined(kCarriageAside, kHomeAndLock), {"J(0,0)", "M(0,0,0,0,0,3)", "J(1,0)"}),
            2},
        // Step 5 ends the motors' work before the prompt; nothing of step 7 goes out.
        AbortCase{"LibraryInkChargeMotorPrompt",
                  &kLibraryEdition,
                  "",
                  Charge,
                  "ran out at message box \"Ink DisCharge: 等馬達靜止,再按ok!!\"",
                  {"M(1,1,7,4000,6,1)", "M(1,0,9,60,6,1)", "J(1,0)"},
                  1},
        // At the first jig prompt the job of step 2 is open.
        AbortCase{"LibraryDisChargeFirstJigPrompt",
                  &kLibraryEdition,
                  "",
                  DisCharge,
                  "ran out at message box \"Ink DisCharge:  更換排墨治具 !!\"",
                  {"M(0,1,7,57,6,1)", "J(1,0)"},
                  2},
        AbortCase{"ProgramDisChargeFirstJigPrompt",
                  &kProgramEdition,
                  "",
                  DisCharge,
                  "ran out at message box \"Ink DisCharge: Put on the JIG and Continue !!\"",
                  {"M(0,1,7,57,6,1)", "J(1,0)"},
                  1},
        // At the DisMessage dialog the cycle has closed its job already.
        AbortCase{"LibraryNoPowerOffDisMessage",
                  &kLibraryEdition,
                  "ok\n",
                  DisChargeNoPowerOff,
                  "ran out at dialog 200",
                  {"M(1,0,9,60,6,1)", "J(1,0)", "wait 115000"},
                  2},
        // At the second jig prompt the job of step 6 is open.
        AbortCase{"ProgramNoPowerOffSecondJigPrompt",
                  &kProgramEdition,
                  "ok\nno\n",
                  DisChargeNoPowerOff,
                  "ran out at message box \"Ink DisCharge: Move away the JIG and Continue !!\"",
                  {"M(0,1,7,371,6,1)", "wait 8000", "J(1,0)"},
                  2},
        // At the closing prompts everything has been sent, the power-off too.
        AbortCase{"LibraryDisChargeClosingPrompt",
                  &kLibraryEdition,
                  "ok\nno\nok\n",
                  DisCharge,
                  "ran out at message box \"Ink DisCharge: 拔下電源線!!\"",
                  {"p(0)", "wait 10000"},
                  3}),
    [](const ::testing::TestParamInfo<AbortCase>& info) { return info.param.name; });

// Presses Stop as the first wait is announced.
struct StopAtFirstWait : RecordingOperator {
  void WaitStarts(int64_t ms) override {
    RecordingOperator::WaitStarts(ms);
    if (stop) stop->Request();
  }
  StopRequest* stop = nullptr;
};

TEST_F(LibrarySimFixture, StopInTheMiddleOfASequenceEndsAtOnceWithItsJobOpen) {
  StopRequest stop;
  StopAtFirstWait stopping;
  stopping.stop = &stop;
  Context stoppable{ctx.edition, clock, stopping, settings, wire, {}, &stop};
  EXPECT_THROW(static_cast<void>(InkCharge(stoppable, link)), OperationStopped);
  const std::vector<std::string> traffic = Traffic();
  EXPECT_THAT(Tail(traffic, 2), ElementsAre("M(1,1,8,31000,6,1)", "wait 6000"));
  EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "J(1,0)"), 0);
}

}  // namespace
}  // namespace tarvo
