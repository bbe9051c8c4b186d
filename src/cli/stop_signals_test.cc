#include "cli/stop_signals.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "testing/scratch_dir.h"

extern char** environ;

namespace tarvo::cli {
namespace {

using ::testing::HasSubstr;

void (*CurrentHandler(int number))(int) {
  struct sigaction now {};
  sigaction(number, nullptr, &now);
  return now.sa_handler;
}

TEST(StopOnSignalsTest, FirstSignalRequestsTheStopAndTheOldHandlersComeBack) {
  void (*before)(int) = CurrentHandler(SIGINT);
  StopRequest stop;
  {
    StopOnSignals signals(stop);
    EXPECT_NE(CurrentHandler(SIGTERM), before);
    raise(SIGTERM);
    EXPECT_TRUE(stop.WaitFor(10'000));  // made by the watcher thread
    EXPECT_EQ(signals.signal(), SIGTERM);
    // The second signal of a kind would end the process: its handler is gone.
    EXPECT_EQ(CurrentHandler(SIGTERM), SIG_DFL);
  }
  EXPECT_EQ(CurrentHandler(SIGINT), before);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// tarvo-cli itself, cleaning the nozzles of the simulated printer on real time: Ctrl-C during
// the ten-second wait ends the run at once with the link closed.
TEST(StopOnSignalsTest, InterruptDuringAWaitOfTheCliClosesTheLinkAndExitsWithStatusFive) {
  testing::ScratchDir scratch;
  const std::string dir = scratch.path().string();
  const std::string wire = dir + "/wire.log";
  const std::string error = dir + "/err.txt";
  std::vector<std::string> args = {
      TARVO_CLI_PATH, "--printer", "sim:" + dir + "/p.json", "--wire-log", wire,
      "NozzleClean",  "1"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  setenv("TARVO_CONFIG_DIR", dir.c_str(), 1);

  int out[2];
  ASSERT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, error.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, TARVO_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);

  // Read its terminal output until the countdown of the wait shows.
  std::string shown;
  char chunk[256];
  while (shown.find("Waiting") == std::string::npos) {
    const ssize_t n = read(out[0], chunk, sizeof chunk);
    if (n <= 0) break;
    shown.append(chunk, static_cast<size_t>(n));
  }
  ASSERT_THAT(shown, HasSubstr("Waiting 10 s"));
  kill(pid, SIGINT);
  while (read(out[0], chunk, sizeof chunk) > 0) {
  }
  close(out[0]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);

  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitStopped);
  EXPECT_THAT(ReadAll(error),
              HasSubstr("tarvo-cli: stopped on request; the printer link is closed"));
  const std::string log = ReadAll(wire);
  EXPECT_THAT(log, HasSubstr("S 10000\nC\n"));
}

}  // namespace
}  // namespace tarvo::cli
