#include "cli/stop_signals.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

#include <cerrno>

namespace tarvo::cli {

#ifdef _WIN32

struct ConsoleEvents {
  static inline std::atomic<StopOnSignals*> active{nullptr};

  static BOOL WINAPI Handle(DWORD event) {
    StopOnSignals* self = active.load();
    if (!self) return FALSE;
    return self->Take(event == CTRL_C_EVENT ? SIGINT : SIGTERM) ? TRUE : FALSE;
  }
};

StopOnSignals::StopOnSignals(StopRequest& stop) : stop_(stop) {
  ConsoleEvents::active = this;
  SetConsoleCtrlHandler(ConsoleEvents::Handle, TRUE);
}

StopOnSignals::~StopOnSignals() {
  SetConsoleCtrlHandler(ConsoleEvents::Handle, FALSE);
  ConsoleEvents::active = nullptr;
}

bool StopOnSignals::Take(int number) {
  int expected = 0;
  if (!signal_.compare_exchange_strong(expected, number)) return false;
  stop_.Request();
  return true;
}

#else

namespace {

std::atomic<int> g_write_end = -1;  // the pipe the handler writes the signal number to

void OnSignal(int number) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  const int fd = g_write_end.load();
  if (fd >= 0) {
    const ssize_t written = write(fd, &byte, 1);
    static_cast<void>(written);
  }
  errno = saved;
}

}  // namespace

StopOnSignals::StopOnSignals(StopRequest& stop) : stop_(stop) {
  if (pipe2(pipe_, O_CLOEXEC) != 0) return;
  g_write_end = pipe_[1];
  // The watcher blocks both signals, so that they reach the thread running the operation (and
  // interrupt a prompt reading the terminal there).
  sigset_t both, before;
  sigemptyset(&both);
  sigaddset(&both, SIGINT);
  sigaddset(&both, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &both, &before);
  watcher_ = std::thread([this] { Watch(); });
  pthread_sigmask(SIG_SETMASK, &before, nullptr);

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a prompt blocked reading the terminal gives up, so the run can end. The
  // handler is taken away by its first signal, so the second ends the process.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, &old_int_);
  sigaction(SIGTERM, &action, &old_term_);
}

StopOnSignals::~StopOnSignals() {
  if (!watcher_.joinable()) return;
  sigaction(SIGINT, &old_int_, nullptr);
  sigaction(SIGTERM, &old_term_, nullptr);
  const unsigned char quit = 0;
  const ssize_t written = write(pipe_[1], &quit, 1);
  static_cast<void>(written);
  watcher_.join();
  g_write_end = -1;
  close(pipe_[0]);
  close(pipe_[1]);
}

void StopOnSignals::Watch() {
  for (;;) {
    unsigned char byte = 0;
    const ssize_t n = read(pipe_[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == 0) return;
    int expected = 0;
    signal_.compare_exchange_strong(expected, byte);
    stop_.Request();
  }
}

#endif

}  // namespace tarvo::cli
