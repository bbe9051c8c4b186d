#pragma once

#include <glob.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvo::records::testing {

// A PostgreSQL server of the tests' own: initdb and pg_ctl from the system's PostgreSQL in a
// temporary folder, run as an unprivileged user when the tests run as root (the server refuses
// root), listening on a Unix socket in that folder only. Started at the first test that asks for
// it, once per test binary, and stopped when the binary ends.
class PgServer {
 public:
  // The server, started; nullptr when it cannot be (why() tells: the test skips with it).
  static PgServer* Get() {
    static PgServer server;
    static bool tried = false;
    if (!tried) {
      tried = true;
      server.Setup();
      std::atexit([] { server.Teardown(); });
    }
    return server.running_ ? &server : nullptr;
  }
  static const std::string& why() { return why_; }

  std::string conninfo() const { return "host=" + dir_ + " dbname=postgres user=tarvo"; }
  std::string psql() const { return bin_ + "/psql"; }
  const std::string& bin() const { return bin_; }
  const std::string& dir() const { return dir_; }
  bool Stop() {
    running_ = !Run(Ctl() + " -m fast -w stop");
    return !running_;
  }
  bool Start() {
    running_ = Run(Ctl() + " -w -l " + dir_ + "/server.log -o \"-k " + dir_ +
                   " -c listen_addresses='' -c fsync=off\" start");
    return running_;
  }

 private:
  static std::string BinDir() {
    if (const char* dir = std::getenv("TARVO_PG_BINDIR")) return dir;
    glob_t found{};
    std::vector<std::string> dirs;
    if (glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0) {
      for (size_t i = 0; i < found.gl_pathc; ++i) {
        dirs.push_back(std::filesystem::path(found.gl_pathv[i]).parent_path().string());
      }
    }
    globfree(&found);
    std::sort(dirs.begin(), dirs.end());
    return dirs.empty() ? std::string() : dirs.back();
  }

  // As the server's user: `nobody` when the tests run as root.
  bool Run(const std::string& command) const {
    const std::string as = geteuid() == 0 ? "runuser -u nobody -- " : "";
    return std::system((as + command + " >>" + dir_ + "/setup.log 2>&1").c_str()) == 0;
  }
  std::string Ctl() const { return bin_ + "/pg_ctl -D " + dir_ + "/data"; }

  void Setup() {
    bin_ = BinDir();
    if (bin_.empty() || !std::filesystem::exists(bin_ + "/pg_ctl")) {
      why_ =
          "no PostgreSQL server binaries (initdb, pg_ctl under /usr/lib/postgresql/*/bin, or "
          "TARVO_PG_BINDIR); install the postgresql package to run the line database tests";
      return;
    }
    std::string pattern = "/tmp/tarvo-pg-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      why_ = "cannot make a temporary folder";
      return;
    }
    dir_ = pattern;
    if (geteuid() == 0) {
      const passwd* nobody = getpwnam("nobody");
      if (!nobody || chown(dir_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
        why_ = "cannot hand the server's folder to user nobody";
        return;
      }
    }
    if (!Run(bin_ + "/initdb -D " + dir_ + "/data -U tarvo -A trust --no-sync -E UTF8")) {
      why_ = "initdb failed; see " + dir_ + "/setup.log";
      return;
    }
    if (!Start()) why_ = "the server did not start; see " + dir_ + "/server.log";
  }

  void Teardown() {
    if (running_) Stop();
    if (!dir_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(dir_, ec);
    }
  }

  std::string bin_;
  std::string dir_;
  bool running_ = false;
  static inline std::string why_;
};

}  // namespace tarvo::records::testing
