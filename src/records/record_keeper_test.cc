// The line database off the operator's path: a server that takes the connection and never
// answers holds no step, and no wait for it lasts past its limit.
#include "records/record_keeper.h"

#include <gmock/gmock.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <thread>

#include "records/station_run_test.h"
#include "testing/scratch_dir.h"

namespace tarvo::records {
namespace {

JournalEntry Entry(const std::string& operation) {
  JournalEntry entry;
  entry.operation = operation;
  return entry;
}

using ::testing::HasSubstr;
using ::testing::IsEmpty;

const Origin kOrigin{"station-b", "0.1.0", "program"};

// A PostgreSQL server's Unix socket that takes connections (the kernel's backlog) and never
// answers; with `answer_connection`, the first connection is let in and then never answered.
class SilentServer {
 public:
  SilentServer(const std::string& dir, bool answer_connection) {
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = dir + "/.s.PGSQL.5432";
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    bound_ = bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
             listen(listener_, 8) == 0;
    conninfo_ = "host=" + dir + " port=5432 dbname=line user=station";
    if (bound_ && answer_connection) thread_ = std::thread([this] { AnswerConnection(); });
  }
  ~SilentServer() {
    shutdown(listener_, SHUT_RDWR);  // ends a wait in accept()
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  bool bound() const { return bound_; }
  const std::string& conninfo() const { return conninfo_; }

 private:
  // Reads the startup packet, lets the client in (authentication ok, ready for a query) and
  // then reads, answering nothing, until the client goes.
  void AnswerConnection() {
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    std::array<char, 512> buffer;
    if (read(client, buffer.data(), buffer.size()) > 0) {
      const char welcome[] = {'R', 0, 0, 0, 8, 0, 0, 0, 0, 'Z', 0, 0, 0, 5, 'I'};
      if (write(client, welcome, sizeof(welcome)) == sizeof(welcome)) {
        while (read(client, buffer.data(), buffer.size()) > 0) {
        }
      }
    }
    close(client);
  }

  int listener_ = -1;
  bool bound_ = false;
  std::string conninfo_;
  std::thread thread_;
};

struct RecordKeeperSenderTest : ::testing::Test {
  KeeperOptions Options(const std::string& url) {
    KeeperOptions options{scratch.File("records.sqlite"), url, kOrigin,
                          [this](const std::string& w) { warnings.push_back(w); }};
    options.background = true;
    options.connect_ms = 600'000;  // far beyond the test: only the end may cut the wait short
    options.statement_ms = 600'000;
    options.shutdown_ms = 0;
    return options;
  }
  // Two printers through both stations, on record in `keeper`; the virtual time it took.
  int64_t RunLine(tarvo::testing::DeviceRig& rig, RecordKeeper& keeper) {
    RomImage& e = rig.printer.eeprom();
    e.fill(0);
    std::copy_n("031", 3, e.begin());
    rig.Open();
    rig.ctx.records = &keeper;
    const int64_t start = rig.clock.NowMs();
    testing::StationRun run(rig);
    for (const char* head : {"AB12CD", "EF34GH"}) {
      run.Station1(head);
      run.Station2();
    }
    rig.ctx.records = nullptr;
    return rig.clock.NowMs() - start;
  }

  tarvo::testing::ScratchDir scratch;
  std::vector<std::string> warnings;
};

TEST_F(RecordKeeperSenderTest, AServerThatNeverAnswersDelaysNoStep) {
  // The same run with no line database at all, for its time.
  int64_t without = 0;
  {
    tarvo::testing::DeviceRig rig;
    tarvo::testing::ScratchDir elsewhere;
    RecordKeeper keeper({elsewhere.File("records.sqlite"), "", kOrigin, {}}, rig.clock);
    without = RunLine(rig, keeper);
  }
  SilentServer server(scratch.path().string(), false);
  ASSERT_TRUE(server.bound());
  tarvo::testing::DeviceRig rig;
  {
    RecordKeeper keeper(Options(server.conninfo()), rig.clock);
    EXPECT_EQ(RunLine(rig, keeper), without);
    // Every record is in the file by the time its step ends, while the sender still waits
    // for the server's first word.
    EXPECT_EQ(keeper.Local()->Steps().size(), 58u);
    EXPECT_EQ(keeper.Local()->UnsentCount(), 58 + 4);
    EXPECT_THAT(warnings, IsEmpty());
  }
  // The end cut the wait short, told once; the records wait for the next run.
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_THAT(warnings[0], HasSubstr("gave no answer before the end of the run"));
  LocalStore store;
  ASSERT_TRUE(store.Open(scratch.File("records.sqlite")));
  EXPECT_EQ(store.UnsentCount(), 62);
}

TEST_F(RecordKeeperSenderTest, AConnectionOrStatementPastItsLimitIsToldAsUnreachable) {
  {
    SilentServer silent(scratch.path().string(), false);
    ASSERT_TRUE(silent.bound());
    LineDatabase line(silent.conninfo());
    line.set_limits(0, 0);  // a limit already passed: no real wait
    EXPECT_FALSE(line.Connect());
    EXPECT_EQ(line.problem(), LineProblem::kUnreachable);
    EXPECT_THAT(line.error(), HasSubstr("gave no answer in time (connecting)"));
    EXPECT_FALSE(line.cancelled());
  }
  std::filesystem::remove(scratch.File(".s.PGSQL.5432"));
  SilentServer answering(scratch.path().string(), true);
  ASSERT_TRUE(answering.bound());
  LineDatabase line(answering.conninfo());
  line.set_limits(600'000, 0);
  ASSERT_TRUE(line.Connect()) << line.error();
  Unsent batch;
  batch.journal.push_back({1, NewUid(), kOrigin, false, Entry("SetHeadID")});
  EXPECT_FALSE(line.Send(batch));
  EXPECT_EQ(line.problem(), LineProblem::kUnreachable);
  EXPECT_THAT(line.error(), HasSubstr("gave no answer in time (running a statement)"));
  EXPECT_FALSE(line.connected());
}

TEST_F(RecordKeeperSenderTest, TheCancelDescriptorEndsAWaitAtOnce) {
  SilentServer silent(scratch.path().string(), false);
  ASSERT_TRUE(silent.bound());
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_EQ(write(ends[1], "x", 1), 1);
  LineDatabase line(silent.conninfo());
  line.set_limits(600'000, 600'000);
  line.set_cancel_fd(ends[0]);
  EXPECT_FALSE(line.Connect());
  EXPECT_TRUE(line.cancelled());
  EXPECT_EQ(line.problem(), LineProblem::kUnreachable);
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
}  // namespace tarvo::records
