// An operator that cannot answer in the middle of an operation: the closing steps the operation
// always ends with still reach the printer before the abort goes on; a stop request still ends
// it at once.
#include "operations/closing_steps.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/line_sink.h"
#include "base/stop_request.h"
#include "model/device_state.h"
#include "model/rom_layout.h"
#include "operations/head_id.h"
#include "operations/maintenance.h"
#include "operators/script_operator.h"
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

// The motor sequences: the job a sequence opened is closed when its operator cannot answer.
struct SequenceAbort : LibrarySimFixture {
  std::string RunScripted(std::string_view script, const std::function<void(const Context&)>& run) {
    ScriptOperator op(script, transcript, "station.script");
    Context scripted{ctx.edition, clock, op, settings, wire};
    try {
      run(scripted);
    } catch (const OperatorAborted& e) {
      return e.what();
    }
    return {};
  }

  MemoryLineSink transcript;
  DeviceState state;
};

TEST_F(SequenceAbort, InkChargeRunOutAtTheMotorPromptClosesItsJobAndDrivesNothingMore) {
  EXPECT_THAT(RunScripted("", [&](const Context& c) { static_cast<void>(InkCharge(c, link)); }),
              HasSubstr("ran out at message box \"Ink DisCharge: 等馬達靜止,再按ok!!\""));
  // Step 5 ends the motors' work before the prompt; nothing of step 7 goes out.
  EXPECT_THAT(Tail(Traffic(), 3), ElementsAre("M(1,1,7,4000,6,1)", "M(1,0,9,60,6,1)", "J(1,0)"));
}

TEST_F(SequenceAbort, DisChargeClosesTheJobOnlyWhereOneIsOpen) {
  // At the first jig prompt the job of step 2 is open.
  EXPECT_THAT(
      RunScripted("",
                  [&](const Context& c) { static_cast<void>(InkDisCharge(c, link, state, 1)); }),
      HasSubstr("ran out at message box"));
  EXPECT_THAT(Tail(Traffic(), 2), ElementsAre("M(0,1,7,57,6,1)", "J(1,0)"));

  // At the DisMessage dialog the cycle has closed its job already.
  EXPECT_THAT(RunScripted("ok\n",
                          [&](const Context& c) {
                            static_cast<void>(InkDisChargeNoPowerOff(c, link, state, 1));
                          }),
              HasSubstr("ran out at dialog 200"));
  const std::vector<std::string> traffic = Traffic();
  EXPECT_THAT(Tail(traffic, 3), ElementsAre("M(1,0,9,60,6,1)", "J(1,0)", "wait 115000"));
  EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "J(1,0)"), 2);  // step 1's and the cycle's
}

// Presses Stop as the first wait is announced.
struct StopAtFirstWait : RecordingOperator {
  void WaitStarts(int64_t ms) override {
    RecordingOperator::WaitStarts(ms);
    if (stop) stop->Request();
  }
  StopRequest* stop = nullptr;
};

TEST_F(SequenceAbort, StopInTheMiddleOfASequenceEndsAtOnceWithItsJobOpen) {
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
