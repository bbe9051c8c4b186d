// The policies every front end shares, each tested once, against the runtime that decides them.
#include "runtime/runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "operators/recording_operator.h"
#include "runtime/settings_factory.h"
#include "testing/scratch_dir.h"
#include "testing/set_env.h"
#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>
#endif
#ifdef TARVO_HAVE_RECORDS
#include "model/step_recording.h"
#include "records/local_store.h"
#include "records/record_keeper.h"
#include "records/records_config.h"
#endif

namespace tarvo::runtime {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The names a front end reading its environment gives its settings (the library's).
Names EnvironmentNames() {
  return {"TARVO_PRINTER",  "TARVO_OPERATOR",    "TARVO_TRANSCRIPT",
          "TARVO_WIRE_LOG", "TARVO_STATION_DIR", "TARVO_VIRTUAL_TIME"};
}

struct RuntimeTest : ::testing::Test {
  RuntimeTest() {
    testing::SetEnv("TARVO_CONFIG_DIR", dir.string());
    testing::SetEnv("TARVO_DATA_DIR", dir.string());
    testing::SetEnv("TARVO_RECORDS_URL", "");
  }

  // A simulated printer in virtual time, the terminal operator on string streams, settings in
  // memory unless `file_settings`, every notice kept in `told`.
  Options SimOptions(bool file_settings = false) {
    Options options;
    options.printer = "sim:" + (dir / "printer.json").string();
    options.virtual_time = true;
    options.in = &in;
    options.out = &out;
    options.station_dir = dir.string();
    options.tell = [this](const Notice& notice) { told.push_back(notice); };
    if (!file_settings) options.settings = std::make_unique<MemorySettingsStore>();
    return options;
  }

  std::unique_ptr<Runtime> Make(Options options) {
    error.clear();
    notes.clear();
    return Runtime::Make(std::move(options), &error, &notes);
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::istringstream in;
  std::ostringstream out;
  std::vector<Notice> told;
  std::string error, notes;
};

// ---------------------------------------------------------------- virtual time

TEST_F(RuntimeTest, VirtualTimeWithARealPrinterIsRefusedInTheFrontEndsWords) {
  Options options = SimOptions();
  options.printer = "usb";
  EXPECT_EQ(Make(std::move(options)), nullptr);
  EXPECT_EQ(error, "--virtual-time is refused with a real printer: its motors need the real waits");

  options = SimOptions();
  options.printer = "usb";
  options.names = EnvironmentNames();
  EXPECT_EQ(Make(std::move(options)), nullptr);
  EXPECT_THAT(error, StartsWith("TARVO_VIRTUAL_TIME is refused with a real printer"));
}

TEST_F(RuntimeTest, VirtualTimeWithTheSimulatedPrinterLogsTheWaitsInsteadOfWaiting) {
  auto rt = Make(SimOptions());
  ASSERT_NE(rt, nullptr) << error;
  auto* clock = dynamic_cast<VirtualClock*>(&rt->ctx().clock);
  ASSERT_NE(clock, nullptr);
  rt->ctx().Wait(66'000);
  EXPECT_THAT(clock->sleeps(), ElementsAre(66'000));
}

// ---------------------------------------------------------------- the wire log

TEST_F(RuntimeTest, WireLogIsWrittenAtEveryWaitAndCloseNotLineByLine) {
  const fs::path wire = dir / "wire.log";
  Options options = SimOptions();
  options.wire_log = wire.string();
  auto rt = Make(std::move(options));
  ASSERT_NE(rt, nullptr) << error;
  const uint8_t bytes[] = {0x1b, 0x40};

  rt->ctx().wire.Written(bytes);
  EXPECT_THAT(Lines(wire), IsEmpty());  // held back
  rt->ctx().Wait(10);
  EXPECT_THAT(Lines(wire), ElementsAre("W 1b40", "S 10"));

  ASSERT_TRUE(rt->link().HandleOpen());
  rt->ctx().wire.Written(bytes);
  EXPECT_NE(Lines(wire).back(), "W 1b40");
  rt->link().HandleClose();
  const std::vector<std::string> lines = Lines(wire);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 1], "C");
  EXPECT_EQ(lines[lines.size() - 2], "W 1b40");

  // An operation's end puts out what it left, and so does the runtime going.
  {
    OperationEnd end(rt->ctx());
    rt->ctx().wire.Written(bytes);
  }
  EXPECT_EQ(Lines(wire).back(), "W 1b40");
  rt->ctx().wire.ReadFailed();
  rt.reset();
  EXPECT_EQ(Lines(wire).back(), "R!");
}

// ---------------------------------------------------------------- the settings store

TEST_F(RuntimeTest, SettingsStoreProblemsAreToldThroughTheFrontEnd) {
  std::ofstream(dir / "settings.json") << "{ not json";
  auto rt = Make(SimOptions(/*file_settings=*/true));
  ASSERT_NE(rt, nullptr) << error;
  EXPECT_FALSE(rt->settings().ReadInt32(kProgramKey, "Port").has_value());
  EXPECT_FALSE(rt->settings().ReadInt32(kProgramKey, "Pipe").has_value());
  ASSERT_EQ(told.size(), 1u);  // once, not at every read
  EXPECT_EQ(told[0].from, Notice::From::kSettings);
  EXPECT_THAT(told[0].text, HasSubstr("cannot be read; using defaults"));
  EXPECT_EQ(told[0].Line(), told[0].text);
}

#ifndef _WIN32
// The lock the settings file's writers share is free when a problem is told: a message box that
// waits for the person holds up no other process.
TEST_F(RuntimeTest, SettingsStoreProblemsAreToldOnceTheStoreHasLetGoOfItsLock) {
  const fs::path file = dir / "settings.json";
  std::ofstream(file) << "{ not json";
  std::vector<bool> lock_free;
  ToldSettingsStore store(
      [&](FileSettingsStore::ProblemSink report) {
        return std::make_unique<FileSettingsStore>(file, std::move(report));
      },
      [&](const std::string&) {
        const int fd = ::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
        lock_free.push_back(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        if (fd >= 0) ::close(fd);
      });
  EXPECT_TRUE(store.WriteInt32(kProgramKey, "Port", 1));  // reads the bad file under the lock
  EXPECT_THAT(lock_free, ElementsAre(true));
  EXPECT_EQ(store.ReadInt32(kProgramKey, "Port"), std::optional<int32_t>(1));
}
#endif

// ---------------------------------------------------------------- the records

#ifdef TARVO_HAVE_RECORDS
TEST_F(RuntimeTest, RecordsGoToTheMachinesRecordsFileWithThisMachineAsTheirOrigin) {
  Options options = SimOptions();
  options.edition = &kLibraryEdition;
  auto rt = Make(std::move(options));
  ASSERT_NE(rt, nullptr) << error;
  ASSERT_NE(rt->keeper(), nullptr);
  EXPECT_EQ(rt->ctx().records, static_cast<RecordSink*>(rt->keeper()));
  EXPECT_FALSE(rt->keeper()->has_line());
  const double weights[] = {25, 23.5};
  RecordDotWeight(rt->ctx(), "Mono", weights, 44.5, 40.7, 52.9, true);

  records::LocalStore store;
  ASSERT_TRUE(store.Open((dir / "records.sqlite").string()));
  const auto kept = store.DotWeights();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].origin, records::ThisMachine(TARVO_VERSION, kLibraryEdition));
  EXPECT_EQ(kept[0].origin.edition, "library");
  EXPECT_EQ(kept[0].origin.tool_version, TARVO_VERSION);
  EXPECT_THAT(told, IsEmpty());
}

TEST_F(RuntimeTest, AnUnreachableLineDatabaseIsToldOnceWithoutItsPassword) {
  // A server socket in a folder that does not exist: refused at once.
  testing::SetEnv("TARVO_RECORDS_URL",
                  "postgresql://line:s3cret@/tarvo?host=/no/such/socket/folder&connect_timeout=1");
  auto rt = Make(SimOptions());
  ASSERT_NE(rt, nullptr) << error;
  EXPECT_TRUE(rt->keeper()->has_line());
  const double weights[] = {25};
  RecordDotWeight(rt->ctx(), "Mono", weights, 25, 20, 30, true);
  RecordDotWeight(rt->ctx(), "Mono", weights, 25, 20, 30, true);
  // The keeper's sender tells what it found with the next record, or when asked to finish.
  rt->keeper()->WaitForSender();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].from, Notice::From::kRecords);
  EXPECT_THAT(told[0].Line(), StartsWith("records: the line database cannot be reached"));
  EXPECT_THAT(told[0].text, Not(HasSubstr("s3cret")));
  EXPECT_EQ(rt->keeper()->Local()->UnsentCount(), 2);
}
#else
TEST_F(RuntimeTest, ABuildWithoutRecordsKeepsNone) {
  auto rt = Make(SimOptions());
  ASSERT_NE(rt, nullptr) << error;
  EXPECT_EQ(rt->keeper(), nullptr);
  EXPECT_EQ(rt->ctx().records, nullptr);
}
#endif

// ---------------------------------------------------------------- what else the runtime owns

TEST_F(RuntimeTest, OneStopRequestReachesTheClockTheOperatorAndTheContext) {
  StopRequest stop;
  StopRequest* given_to_operator = nullptr;
  Options options = SimOptions();
  options.virtual_time = false;
  options.stop = &stop;
  options.make_operator = [&](LineSink&, StopRequest& request, std::string*) {
    given_to_operator = &request;
    return std::make_unique<RecordingOperator>();
  };
  auto rt = Make(std::move(options));
  ASSERT_NE(rt, nullptr) << error;
  EXPECT_EQ(&rt->stop(), &stop);
  EXPECT_EQ(rt->ctx().stop, &stop);
  EXPECT_EQ(rt->ctx().clock.stop(), &stop);
  EXPECT_EQ(given_to_operator, &stop);
  EXPECT_NE(dynamic_cast<RecordingOperator*>(&rt->ctx().op), nullptr);
  // A stop ends a real wait at once.
  stop.Request();
  EXPECT_THROW(rt->ctx().Wait(60'000), OperationStopped);

  // Without one of the front end's, the runtime has its own.
  auto own = Make(SimOptions());
  ASSERT_NE(own, nullptr) << error;
  EXPECT_EQ(own->ctx().stop, &own->stop());
  EXPECT_EQ(own->ctx().clock.stop(), &own->stop());
}

TEST_F(RuntimeTest, TheStationFolderIsMadeAbsoluteAndMustBeAFolder) {
  Options options = SimOptions();
  options.station_dir = (dir / "missing").string();
  options.names = EnvironmentNames();
  EXPECT_EQ(Make(std::move(options)), nullptr);
  EXPECT_THAT(error, StartsWith("TARVO_STATION_DIR: station folder "));
  EXPECT_THAT(error, HasSubstr("is not a folder"));

  options = SimOptions();
  options.station_dir = (dir / ".").string();
  auto rt = Make(std::move(options));
  ASSERT_NE(rt, nullptr) << error;
  EXPECT_TRUE(rt->ctx().station_dir.is_absolute());
  // Compared by name: fs::equivalent does not tell two names of one folder apart under Wine.
  EXPECT_EQ((rt->ctx().station_dir / "").lexically_normal(), (dir / "").lexically_normal());
}

TEST_F(RuntimeTest, UnusablePrintersAndOperatorsAreNamedAsTheFrontEndNamesThem) {
  Options options = SimOptions();
  options.printer = "parallel-port";
  EXPECT_EQ(Make(std::move(options)), nullptr);
  EXPECT_THAT(error, StartsWith("--printer: unknown printer"));

  options = SimOptions();
  options.op = "script:" + (dir / "no-such.script").string();
  options.names = EnvironmentNames();
  EXPECT_EQ(Make(std::move(options)), nullptr);
  EXPECT_THAT(error, StartsWith("TARVO_OPERATOR: cannot read operator script"));
  // Nothing was opened for the printer.
  EXPECT_FALSE(fs::exists(dir / "printer.json"));
}

TEST_F(RuntimeTest, ALogThatCannotBeWrittenIsANoteNotAFailure) {
  Options options = SimOptions();
  options.transcript = (dir / "missing" / "transcript").string();
  options.wire_log = (dir / "missing" / "wire.log").string();
  auto rt = Make(std::move(options));
  ASSERT_NE(rt, nullptr) << error;
  EXPECT_THAT(notes, HasSubstr("--transcript: cannot write "));
  EXPECT_THAT(notes, HasSubstr("--wire-log: cannot write "));
}

TEST_F(RuntimeTest, SimulatedPrinterProblemsAreToldThroughTheFrontEnd) {
  auto rt = Make(SimOptions());
  ASSERT_NE(rt, nullptr) << error;
  fs::remove_all(dir / "printer.json");
  fs::create_directory(dir / "printer.json");  // the state file can no longer be replaced
  rt->sim()->set_temperature(30);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].from, Notice::From::kPrinter);
  EXPECT_THAT(told[0].Line(), HasSubstr("is not saved"));
}

#ifndef _WIN32
TEST_F(RuntimeTest, TheLibrarysWindowsNeedADisplay) {
  std::vector<std::pair<const char*, std::string>> saved;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    ::unsetenv(name);
  }
  Options options = SimOptions();
  options.op = kWindowsOperator;
  options.names = EnvironmentNames();
  auto rt = Make(std::move(options));
  for (const auto& [name, value] : saved) ::setenv(name, value.c_str(), 1);
  EXPECT_EQ(rt, nullptr);
  EXPECT_THAT(error, HasSubstr("TARVO_OPERATOR is not set and there is no display"));
}
#endif

}  // namespace
}  // namespace tarvo::runtime
