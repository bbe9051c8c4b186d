// Streams a large print file to the simulated printer and compares it with the plain cost of
// reading the file and writing it in 4,096-byte pieces to /dev/null.
//
//   build/bench/print_stream_bench [SIZE_MB [LOG_DIR [cpu]]]   (default 256, the temporary folder)
//
// LOG_DIR is where the wire log of the fourth figure goes; on a slow disk the disk decides that
// figure, so /dev/shm shows the tool's own cost.
//
// Reports MB/s of both, their ratio (goal: at least 0.95) and the peak resident memory (goal: the
// 8,192,000-byte chunk buffer plus a few MB). A third figure, streaming to a printer that
// discards what it gets, tells the device layer's own cost apart from the simulated printer's
// hashing of every byte. A fourth streams to the simulated printer with the wire log written to
// a file, as `--wire-log` does (goal: at least 500 MiB/s of print data).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "charts/print_file.h"
#include "link/printer_link.h"
#include "operators/recording_operator.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace {

// Wall time, or with "cpu" on the command line the process's CPU time, which a machine busy with
// other work disturbs much less.
bool g_cpu_time = false;

double Now() {
  timespec t{};
  clock_gettime(g_cpu_time ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

bool MakeFile(const std::string& path, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::vector<unsigned char> block(1 << 20);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 31 + 7);
  for (size_t done = 0; done < size; done += block.size()) {
    std::fwrite(block.data(), 1, std::min(block.size(), size - done), f);
  }
  return std::fclose(f) == 0;
}

// The floor: the same chunked reads, each chunk written to /dev/null 4,096 bytes at a time.
double PlainCopySeconds(const std::string& path) {
  const double start = Now();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  int sink = ::open("/dev/null", O_WRONLY);
  auto buffer = std::make_unique_for_overwrite<unsigned char[]>(tarvo::kPrintChunkSize);
  size_t got;
  while ((got = std::fread(buffer.get(), 1, tarvo::kPrintChunkSize, f)) > 0) {
    for (size_t at = 0; at < got; at += tarvo::kPrintPieceSize) {
      size_t piece = std::min(tarvo::kPrintPieceSize, got - at);
      if (::write(sink, buffer.get() + at, piece) < 0) std::abort();
    }
  }
  ::close(sink);
  std::fclose(f);
  return Now() - start;
}

// A printer that takes every write and does nothing with it: what the device layer's streaming
// costs by itself.
class DiscardingBackend : public tarvo::LinkBackend {
 public:
  std::vector<tarvo::PrinterInterface> Enumerate() override {
    tarvo::PrinterInterface p;
    p.instance = "USB\\VID_0A3C&PID_7251\\BENCH";
    p.linked = true;
    return {p};
  }
  std::optional<tarvo::PipeHandle> Open(const tarvo::PrinterInterface&, tarvo::PipeName) override {
    return 1;
  }
  bool Close(tarvo::PipeHandle) override { return true; }
  tarvo::TransferResult Write(tarvo::PipeHandle, std::span<const uint8_t> data, uint32_t) override {
    return {tarvo::TransferStatus::kOk, data.size()};
  }
  tarvo::TransferResult Read(tarvo::PipeHandle, std::span<uint8_t>, uint32_t) override {
    return {};
  }
};

double DiscardedSendSeconds(const std::string& path) {
  tarvo::RealClock clock;
  tarvo::RecordingOperator op;
  tarvo::MemorySettingsStore settings;
  tarvo::NullLineSink quiet;
  tarvo::WireLog wire(quiet);
  DiscardingBackend backend;
  tarvo::Context ctx{tarvo::kProgramEdition, clock, op, settings, wire};
  tarvo::PrinterLink link(ctx, backend);
  if (!link.HandleOpen()) std::abort();
  const double start = Now();
  if (!tarvo::SendPrintFile(ctx, link, path)) std::abort();
  return Now() - start;
}

double SimulatedSendSeconds(const std::string& path, tarvo::LineSink& log) {
  tarvo::RealClock clock;  // no waits happen while streaming
  tarvo::RecordingOperator op;
  tarvo::MemorySettingsStore settings;
  tarvo::WireLog wire(log);
  tarvo::sim::SimPrinter printer(clock, tarvo::sim::SimSpec{});
  tarvo::sim::SimBackend backend(printer, clock);
  tarvo::Context ctx{tarvo::kProgramEdition, clock, op, settings, wire};
  tarvo::PrinterLink link(ctx, backend);
  if (!link.HandleOpen()) std::abort();
  const double start = Now();
  if (!tarvo::SendPrintFile(ctx, link, path)) std::abort();
  double seconds = Now() - start;
  link.HandleClose();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  g_cpu_time = argc > 3 && std::string(argv[3]) == "cpu";
  std::string path = (std::filesystem::temp_directory_path() / "tarvo-bench.prn").string();
  if (!MakeFile(path, mb << 20)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  long rss_start = PeakRssKb();
  PlainCopySeconds(path);  // warm the page cache
  const std::filesystem::path log_dir =
      argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string log_path = (log_dir / "tarvo-bench-wire.log").string();
  double plain = 1e9, sim = 1e9, discarded = 1e9, logged = 1e9;
  for (int i = 0; i < 3; ++i) {
    plain = std::min(plain, PlainCopySeconds(path));
    tarvo::NullLineSink quiet;
    sim = std::min(sim, SimulatedSendSeconds(path, quiet));
    discarded = std::min(discarded, DiscardedSendSeconds(path));
    std::filesystem::remove(log_path);
    {
      tarvo::FileLineSink log(log_path, tarvo::FileLineSink::Writes::kOnFlush);
      const double start = Now();
      SimulatedSendSeconds(path, log);
      log.Flush();
      logged = std::min(logged, Now() - start);
    }
    std::filesystem::remove(log_path);
  }
  std::filesystem::remove(path);
  double plain_rate = static_cast<double>(mb) / plain;
  double sim_rate = static_cast<double>(mb) / sim;
  std::printf("file: %zu MB, %s time\n", mb, g_cpu_time ? "CPU" : "wall");
  std::printf("plain 4096-byte writes to /dev/null: %8.1f MB/s\n", plain_rate);
  std::printf("SendPrintFile to the simulated printer: %8.1f MB/s\n", sim_rate);
  std::printf("ratio: %.3f (goal >= 0.95)\n", sim_rate / plain_rate);
  double discarded_rate = static_cast<double>(mb) / discarded;
  std::printf("SendPrintFile to a printer that discards: %8.1f MB/s, ratio %.3f\n", discarded_rate,
              discarded_rate / plain_rate);
  std::printf(
      "SendPrintFile to the simulated printer, wire log to a file: %8.1f MB/s (goal >= 500)\n",
      static_cast<double>(mb) / logged);
  std::printf("peak resident memory: %ld kB (at start %ld kB; chunk buffer %zu kB)\n", PeakRssKb(),
              rss_start, tarvo::kPrintChunkSize / 1024);
  return 0;
}
