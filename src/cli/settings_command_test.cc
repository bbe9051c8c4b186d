// The settings command as separate processes see it: tarvo-cli runs killed half-way, and runs of
// several writers at once.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "testing/scratch_dir.h"

extern char** environ;

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;

// The nine values a station sets in one go (disableink keeps its value).
constexpr std::array<const char*, 9> kNames = {"disable", "MS1",   "MS2",     "VSD",    "ECN",
                                               "TOF",     "CL2KK", "tclCond", "unplugA"};

// A tarvo-cli process with its standard output on a pipe, so the test sees when it ends.
class CliProcess {
 public:
  explicit CliProcess(std::vector<std::string> args) {
    args.insert(args.begin(), TARVO_CLI_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) ADD_FAILURE() << "pipe";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      ADD_FAILURE() << "cannot start " << argv[0];
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = fds[0];
  }
  ~CliProcess() {
    if (pid_ > 0) Wait();
    ::close(out_);
  }

  int output_fd() const { return out_; }
  // Reads what it printed; false once it has closed its output (it ended).
  bool Drain() {
    char buf[4096];
    ssize_t n = ::read(out_, buf, sizeof buf);
    return n > 0 || (n < 0 && errno == EINTR);
  }
  void Kill() { ::kill(pid_, SIGKILL); }
  // The exit status, or 128 + the signal that ended it.
  int Wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

struct SettingsCommandTest : ::testing::Test {
  SettingsCommandTest() { setenv("TARVO_CONFIG_DIR", dir.c_str(), 1); }

  std::vector<std::string> SetAll(int value) const {
    std::vector<std::string> args = {"settings"};
    for (const char* name : kNames) args.push_back(std::string(name) + "=" + std::to_string(value));
    return args;
  }
  // The nine values as the store holds them now (-1: missing).
  std::array<int, 9> Stored() const {
    FileSettingsStore store(dir / "settings.json", [](const std::string&) {});
    std::array<int, 9> values{};
    for (size_t i = 0; i < kNames.size(); ++i) {
      auto bytes = store.Read(kSelectPrinterKey, kNames[i]);
      values[i] = bytes && !bytes->empty() ? (*bytes)[0] : -1;
    }
    return values;
  }
  // Files in the folder that are neither the store nor its lock.
  std::vector<std::string> Strays() const {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir)) {
      std::string name = entry.path().filename().string();
      if (name != "settings.json" && name != "settings.json.lock") out.push_back(name);
    }
    return out;
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
};

// Each run sets all nine values to one number and is killed after a varied count of file events
// in the folder (opens, creations, writes, renames), so the kills land all through the write.
TEST_F(SettingsCommandTest, KilledRunsLeaveTheOldOrTheNewValuesAndNoTemporaryFiles) {
  {
    CliProcess first(SetAll(1));
    while (first.Drain()) {
    }
    ASSERT_EQ(first.Wait(), 0);
  }
  int inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify, 0);
  ASSERT_GE(
      inotify_add_watch(inotify, dir.c_str(),
                        IN_OPEN | IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE),
      0);
  int before = 1, killed = 0, mixed = 0;
  size_t most_strays = 0;
  for (int run = 0; run < 200; ++run) {
    const int value = 2 + run % 250;
    const int events_before_kill = run % 23;
    {
      CliProcess cli(SetAll(value));
      int events = 0;
      bool running = true;
      while (running && events < events_before_kill) {
        pollfd fds[2] = {{inotify, POLLIN, 0}, {cli.output_fd(), POLLIN, 0}};
        ASSERT_GT(::poll(fds, 2, -1), 0);
        if (fds[0].revents & POLLIN) {
          alignas(inotify_event) char buf[4096];
          for (ssize_t n; (n = ::read(inotify, buf, sizeof buf)) > 0;) {
            for (char* p = buf; p < buf + n;) {
              auto* e = reinterpret_cast<inotify_event*>(p);
              ++events;
              p += sizeof(inotify_event) + e->len;
            }
          }
        }
        if (fds[1].revents & (POLLIN | POLLHUP)) running = cli.Drain();
      }
      cli.Kill();
      if (cli.Wait() == 128 + SIGKILL) ++killed;
    }
    std::array<int, 9> now = Stored();
    std::array<int, 9> old_values, new_values;
    old_values.fill(before);
    new_values.fill(value);
    if (now == new_values) {
      before = value;
    } else if (now != old_values) {
      ++mixed;
      before = now[0];
    }
    most_strays = std::max(most_strays, Strays().size());
    char buf[4096];
    while (::read(inotify, buf, sizeof buf) > 0) {
    }
  }
  ::close(inotify);
  EXPECT_EQ(mixed, 0) << "runs that left old and new values mixed";
  EXPECT_GT(killed, 100);  // most runs were really cut short
  // A temporary file is named only for the instant before it replaces the store, and the next
  // writer removes one left by a writer that is gone.
  EXPECT_LE(most_strays, 1u);
  {
    CliProcess last(SetAll(7));
    while (last.Drain()) {
    }
    ASSERT_EQ(last.Wait(), 0);
  }
  EXPECT_THAT(Strays(), ::testing::IsEmpty());
}

// Two writers at once, each changing a value of its own in the same group: neither change is
// lost, however the runs interleave.
TEST_F(SettingsCommandTest, TwoWritersAtOnceKeepBothChanges) {
  for (int round = 1; round <= 20; ++round) {
    {
      CliProcess a({"settings", "MS1=" + std::to_string(round)});
      CliProcess b({"settings", "tclCond=" + std::to_string(round + 100)});
      CliProcess c({"settings", "MS2=" + std::to_string(round + 50)});
      while (a.Drain()) {
      }
      while (b.Drain()) {
      }
      while (c.Drain()) {
      }
      ASSERT_EQ(a.Wait(), 0);
      ASSERT_EQ(b.Wait(), 0);
      ASSERT_EQ(c.Wait(), 0);
    }
    FileSettingsStore store(dir / "settings.json");
    EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), round);
    EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS2"), round + 50);
    EXPECT_EQ(store.ReadByte(kSelectPrinterKey, "tclCond"), round + 100);
  }
}

TEST_F(SettingsCommandTest, StoreThatCannotBeWrittenFailsTheCommand) {
  std::ofstream(dir / "blocker") << "a file where the folder should be";
  setenv("TARVO_CONFIG_DIR", (dir / "blocker").c_str(), 1);
  CliProcess set({"settings", "MS1=3", "tclCond=4"});
  while (set.Drain()) {
  }
  EXPECT_EQ(set.Wait(), 1);
  CliProcess show({"settings"});  // showing needs no write
  while (show.Drain()) {
  }
  EXPECT_EQ(show.Wait(), 0);
}

}  // namespace
}  // namespace tarvo::cli
