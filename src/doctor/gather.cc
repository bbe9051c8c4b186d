#include "doctor/gather.h"

#include <set>

#include "base/clock.h"
#include "charts/chart_table.h"
#include "runtime/printer_factory.h"

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef TARVO_HAVE_RECORDS
#include "records/line_database.h"
#include "records/records_config.h"
#endif

namespace tarvo::doctor {
namespace {

#ifndef _WIN32
std::string UserName(uid_t uid) {
  if (const passwd* pw = getpwuid(uid)) return pw->pw_name;
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  if (const group* gr = getgrgid(gid)) return gr->gr_name;
  return std::to_string(gid);
}

PathFacts StatPath(const std::string& path) {
  PathFacts facts;
  facts.path = path;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return facts;
  facts.exists = true;
  facts.folder = S_ISDIR(st.st_mode);
  facts.uid = st.st_uid;
  facts.gid = st.st_gid;
  facts.mode = st.st_mode & 0777;
  facts.owner = UserName(st.st_uid);
  facts.group = GroupName(st.st_gid);
  return facts;
}

StoreFacts StatStore(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  return {StatPath(file.string()), StatPath(folder.string())};
}

std::vector<uint32_t> DatabaseGroups(const passwd& pw) {
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  while (getgrouplist(pw.pw_name, pw.pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count) + 16);
    count = static_cast<int>(groups.size());
  }
  return {groups.begin(), groups.begin() + count};
}

std::optional<Account> FindAccount(const std::string& user, std::string* error) {
  Account account;
  if (user.empty()) {
    account.uid = getuid();
    account.name = UserName(getuid());
    const int n = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<size_t>(n > 0 ? n : 0));
    const int got = n > 0 ? getgroups(n, groups.data()) : 0;
    account.process_groups.assign(groups.begin(), groups.begin() + (got > 0 ? got : 0));
    account.process_groups.push_back(getegid());
    if (const passwd* pw = getpwuid(getuid())) account.database_groups = DatabaseGroups(*pw);
    return account;
  }
  const passwd* pw = getpwnam(user.c_str());
  if (!pw) {
    *error = "no account " + user;
    return std::nullopt;
  }
  account.own = pw->pw_uid == getuid();
  account.uid = pw->pw_uid;
  account.name = pw->pw_name;
  account.database_groups = DatabaseGroups(*pw);
  if (account.own) {
    // The same as asking for none: this process's groups apply.
    return FindAccount("", error);
  }
  return account;
}
#endif

ChartFacts LookForCharts(const std::filesystem::path& folder) {
  ChartFacts facts;
  facts.folder = folder.string();
  std::set<std::string> names;
  for (const Chart& chart : kCharts) {
    names.insert(std::string(chart.first_file));
    names.insert(std::string(chart.second_file));
  }
  facts.files = static_cast<int>(names.size());
  for (const std::string& name : names) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(folder / name, ec)) facts.missing.push_back(name);
  }
  return facts;
}

#ifdef TARVO_HAVE_RECORDS
LineDatabaseFacts CheckLineDatabase(SettingsStore* settings) {
  LineDatabaseFacts facts;
  if (!settings) return facts;
  const std::string url = records::LineDatabaseUrl(*settings);
  if (url.empty()) return facts;
  facts.configured = true;
  facts.shown_url = records::ShownUrl(url);
  records::LineDatabase db(url);
  facts.reached = db.Check();
  if (!facts.reached) facts.error = records::BlankPassword(db.error(), url);
  return facts;
}
#endif

}  // namespace

std::vector<std::string> DefaultUdevRuleDirs() {
  return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
          "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
}

std::optional<Facts> Gather(const GatherOptions& options, std::string* error) {
  Facts facts;
#ifndef _WIN32
  std::optional<Account> account = FindAccount(options.user, error);
  if (!account) return std::nullopt;
  facts.account = std::move(*account);
#else
  // No account checks here: the settings are in the registry, the printer behind Windows' own
  // driver.
  (void)error;
  facts.account.name = options.user;
#endif

  std::optional<runtime::Printer> own_bus;
  LinkBackend* bus = options.bus;
  if (!bus) {
    RealClock clock;  // a USB backend has no waits
    std::string problem;
    own_bus = runtime::MakePrinter("usb", clock, &problem);
    if (own_bus) {
      bus = own_bus->backend.get();
    } else {
      facts.usb = BusSurvey{};
      facts.usb->problem = problem;
    }
  }
  if (bus) facts.usb = bus->Survey();

#ifndef _WIN32
  if (facts.usb) {
    for (const SurveyedPrinter& p : facts.usb->printers) {
      facts.device_nodes[p.device_node] = StatPath(p.device_node);
    }
    for (const std::string& dir : options.udev_rule_dirs) {
      facts.udev_rule_dirs.push_back(dir);
      const std::filesystem::path rule = std::filesystem::path(dir) / kUdevRule;
      std::error_code ec;
      if (!facts.udev_rule && std::filesystem::is_regular_file(rule, ec)) {
        facts.udev_rule = rule.string();
      }
    }
    if (const group* gr = getgrnam(kPrinterGroup)) facts.printer_group = gr->gr_gid;
  }
  facts.settings = StatStore(FileSettingsStore::DefaultPath());
#endif
#ifdef TARVO_HAVE_RECORDS
  facts.records = StatStore(records::DefaultRecordsPath());
  facts.line = CheckLineDatabase(options.settings);
#endif
  facts.charts = LookForCharts(options.station_dir);
  return facts;
}

}  // namespace tarvo::doctor
