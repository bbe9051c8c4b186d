#include "doctor/diagnose.h"

#include <algorithm>
#include <cstdio>

namespace tarvo::doctor {
namespace {

constexpr unsigned kRead = 4, kWrite = 2, kSearch = 1;

bool Has(const std::vector<uint32_t>& groups, uint32_t gid) {
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

const std::vector<uint32_t>& EffectiveGroups(const Account& account) {
  return account.own ? account.process_groups : account.database_groups;
}

std::string Identity(const SurveyedPrinter& p) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", p.vendor_id, p.product_id);
  return text;
}

std::string Describe(const PathFacts& p) {
  return p.path + " (owner " + p.owner + ", group " + p.group + ", " + ModeText(p.mode) + ")";
}

std::string InstallRuleTodo(const Account& account) {
  // Root needs neither; the accounts that will use the printers do.
  if (account.uid == 0) return std::string(kInstallRule) + " USER... for the station's accounts";
  return std::string("as root: ") + kInstallRule + " " + account.name + ", then log in again";
}

// What keeps the account from the printer's device node, and what to do about it.
std::string NodeTodo(const Facts& facts, const PathFacts& node) {
  const Account& a = facts.account;
  const std::string group = kPrinterGroup;
  if (!facts.udev_rule || !facts.printer_group) return InstallRuleTodo(a);
  if (node.gid != *facts.printer_group) {
    return "the udev rule has not been applied to this printer: unplug it and plug it in again "
           "(or as root: udevadm trigger --subsystem-match=usb --action=change)";
  }
  if (!Has(a.database_groups, *facts.printer_group)) {
    return "as root: usermod -aG " + group + " " + a.name + ", then log in again";
  }
  if (a.own && !Has(a.process_groups, *facts.printer_group)) {
    return a.name + " joined group " + group + " after this login: log in again (or run newgrp " +
           group + ")";
  }
  return "group " + group + " may not read and write the node: the rule's MODE should be \"0660\"";
}

struct PrinterVerdict {
  bool may_open = false;
  bool free_interface = false;
};

PrinterVerdict CheckPrinter(const Facts& facts, const SurveyedPrinter& p, int count,
                            std::vector<Finding>& out) {
  const Account& a = facts.account;
  const std::string at = count > 1 ? " " + p.port_path : "";
  PrinterVerdict verdict;
  out.push_back({"printer" + at, State::kOk,
                 Identity(p) + " at " + p.port_path + " (bus " + std::to_string(p.bus) +
                     ", device " + std::to_string(p.address) + ")",
                 ""});

  const auto node = facts.device_nodes.find(p.device_node);
  const bool node_known = node != facts.device_nodes.end() && node->second.exists;
  if (a.own && p.access == DeviceAccess::kOpened) {
    verdict.may_open = true;
  } else if (a.own && p.access == DeviceAccess::kDenied) {
    verdict.may_open = false;
  } else if (a.own && p.access == DeviceAccess::kGone) {
    out.push_back({"device node" + at, State::kProblem,
                   p.device_node + ": the printer left the bus", "plug it in again and rerun"});
    return verdict;
  } else if (a.own) {
    out.push_back({"device node" + at, State::kProblem,
                   p.device_node + " cannot be opened: " + p.open_error,
                   "unplug the printer, switch it off and on, and rerun"});
    return verdict;
  } else {
    verdict.may_open = node_known && MayUse(node->second, a, kRead | kWrite);
  }
  if (!node_known) {
    out.push_back({"device node" + at, verdict.may_open ? State::kOk : State::kProblem,
                   p.device_node + " is not there" +
                       (verdict.may_open ? ", yet " + a.name + " may open the printer" : ""),
                   verdict.may_open ? "" : "check that /dev/bus/usb is mounted (devtmpfs)"});
  } else if (verdict.may_open) {
    out.push_back({"device node" + at, State::kOk,
                   Describe(node->second) + ": " + a.name + " may open it", ""});
  } else {
    out.push_back({"device node" + at, State::kProblem,
                   Describe(node->second) + ": " + a.name + " may not open it",
                   NodeTodo(facts, node->second)});
  }

  if (p.interfaces.empty()) {
    out.push_back({"interface" + at, State::kProblem,
                   "no printer interface with a bulk OUT and a bulk IN pipe",
                   "switch the printer off and on; it may be in another mode"});
  }
  for (const SurveyedInterface& i : p.interfaces) {
    const std::string name = "interface " + std::to_string(i.number);
    if (!i.kernel_driver) {
      out.push_back({"kernel driver" + at, State::kNote,
                     name + ": who holds it cannot be seen without access to the device", ""});
      verdict.free_interface = true;  // unknown: the open will tell
    } else if (i.claimed_elsewhere || *i.kernel_driver == "usbfs") {
      out.push_back({"kernel driver" + at, State::kProblem, name + " is claimed by another program",
                     "close the other program using the printer (another tarvo-cli, Tarvo, a "
                     "station host, a print spooler's USB backend)"});
    } else if (!i.kernel_driver->empty()) {
      out.push_back({"kernel driver" + at, State::kNote,
                     name + " is bound to the kernel's printer driver " + *i.kernel_driver +
                         ": the tool detaches it while it works and binds it again after",
                     ""});
      verdict.free_interface = true;
    } else {
      out.push_back({"kernel driver" + at, State::kOk, name + ": no driver holds it", ""});
      verdict.free_interface = true;
    }
  }
  return verdict;
}

void CheckGroup(const Facts& facts, std::vector<Finding>& out) {
  const Account& a = facts.account;
  const std::string group = kPrinterGroup;
  if (!facts.printer_group) {
    out.push_back({"group", a.uid == 0 ? State::kNote : State::kWarning,
                   "there is no group " + group, InstallRuleTodo(a)});
  } else if (a.uid == 0) {
    out.push_back({"group", State::kOk, a.name + " needs no group", ""});
  } else if (!Has(a.database_groups, *facts.printer_group)) {
    out.push_back({"group", State::kWarning, a.name + " is not in group " + group,
                   "as root: usermod -aG " + group + " " + a.name + ", then log in again"});
  } else if (a.own && !Has(a.process_groups, *facts.printer_group)) {
    out.push_back({"group", State::kWarning,
                   a.name + " is in group " + group + ", but this login is not: it began before",
                   "log in again (or run newgrp " + group + ")"});
  } else {
    out.push_back({"group", State::kOk, a.name + " is in group " + group, ""});
  }
}

// A store written by replacing its file: the folder must take new files, and an existing file
// must be writable (its lock is kept beside it).
void CheckStore(const char* check, const StoreFacts& store, const Account& account,
                const std::string& todo, std::vector<Finding>& out) {
  const PathFacts& folder = store.folder;
  if (!folder.exists) {
    out.push_back({check, State::kProblem, "the folder " + folder.path + " is not there", todo});
    return;
  }
  if (!MayUse(folder, account, kWrite | kSearch)) {
    out.push_back({check, State::kProblem,
                   Describe(folder) + ": " + account.name + " may not write in it", todo});
    return;
  }
  if (store.file.exists && !MayUse(store.file, account, kRead | kWrite)) {
    out.push_back({check, State::kProblem,
                   Describe(store.file) + ": " + account.name + " may not write it", todo});
    return;
  }
  out.push_back({check, State::kOk,
                 store.file.path + (store.file.exists ? " is writable" : " can be made"), ""});
}

}  // namespace

std::string ModeText(uint32_t mode) {
  std::string text = "rwxrwxrwx";
  for (int bit = 0; bit < 9; ++bit) {
    if (!(mode & (1u << (8 - bit)))) text[static_cast<size_t>(bit)] = '-';
  }
  return text;
}

bool MayUse(const PathFacts& path, const Account& account, unsigned want) {
  if (!path.exists) return false;
  if (account.uid == 0) return true;
  unsigned bits = path.mode & 7;
  if (path.uid == account.uid) {
    bits = (path.mode >> 6) & 7;
  } else if (Has(EffectiveGroups(account), path.gid)) {
    bits = (path.mode >> 3) & 7;
  }
  return (bits & want) == want;
}

Report Diagnose(const Facts& facts) {
  Report report;
  std::vector<Finding>& out = report.findings;
  const Account& a = facts.account;

  if (!facts.usb) {
    out.push_back({"usb bus", State::kNote, "the USB checks are made on Linux only", ""});
  } else if (!facts.usb->readable) {
    out.push_back({"usb bus", State::kProblem, facts.usb->problem,
                   "check that /dev/bus/usb is there and readable (in a container: pass the "
                   "bus in)"});
  } else {
    out.push_back({"usb bus", State::kOk,
                   "readable, devices on it: " + std::to_string(facts.usb->devices), ""});
    const auto& printers = facts.usb->printers;
    if (printers.empty()) {
      out.push_back({"printer", State::kProblem, "no supported printer on the bus",
                     "plug the printer in and switch it on (lsusb should list it: 0a3c:7251, "
                     "0a3c:7253, 0a3c:8801, 0a3c:8802, 0b7d:0005 or 0b7d:080c)"});
    }
    for (const SurveyedPrinter& p : printers) {
      const PrinterVerdict v = CheckPrinter(facts, p, static_cast<int>(printers.size()), out);
      if (v.may_open && v.free_interface) report.printer_usable = true;
    }
  }

  if (facts.usb) {
    if (facts.udev_rule) {
      out.push_back({"udev rule", State::kOk, *facts.udev_rule, ""});
    } else {
      std::string dirs;
      for (const std::string& d : facts.udev_rule_dirs) dirs += (dirs.empty() ? "" : ", ") + d;
      out.push_back({"udev rule", a.uid == 0 ? State::kNote : State::kWarning,
                     std::string(kUdevRule) + " is not installed (looked in " + dirs + ")",
                     InstallRuleTodo(a)});
    }
    CheckGroup(facts, out);
  }

  const std::string store_todo =
      std::string("as root: ") + kInstallRule + " " + a.name +
      " makes /var/lib/tarvo writable by group tarvo; or set TARVO_CONFIG_DIR to a folder of yours";
  if (facts.settings) CheckStore("settings", *facts.settings, a, store_todo, out);
  if (facts.records) {
    CheckStore("records file", *facts.records, a,
               store_todo + " (or TARVO_DATA_DIR for the records file alone)", out);
  }
  if (facts.line) {
    const LineDatabaseFacts& line = *facts.line;
    if (!line.configured) {
      out.push_back({"line database", State::kNote,
                     "none configured (TARVO_RECORDS_URL, setting RecordsUrl): records stay in "
                     "the records file",
                     ""});
    } else if (line.reached) {
      out.push_back({"line database", State::kOk, "reached " + line.shown_url, ""});
    } else {
      out.push_back({"line database", State::kWarning,
                     line.shown_url + " cannot be reached: " + line.error,
                     "check the URL (TARVO_RECORDS_URL or setting RecordsUrl) and the network; "
                     "records wait in the records file until it is reached"});
    }
  }

  const ChartFacts& charts = facts.charts;
  if (charts.missing.empty()) {
    out.push_back({"chart files", State::kOk,
                   "all " + std::to_string(charts.files) + " in " + charts.folder, ""});
  } else {
    std::string what;
    if (static_cast<int>(charts.missing.size()) == charts.files) {
      what = "none of the " + std::to_string(charts.files) + " is in " + charts.folder;
    } else {
      std::string names;
      for (const std::string& m : charts.missing) names += (names.empty() ? "" : ", ") + m;
      what = std::to_string(charts.missing.size()) + " of " + std::to_string(charts.files) +
             " missing in " + charts.folder + ": " + names;
    }
    out.push_back({"chart files", State::kWarning, what,
                   "copy the chart files there, or name their folder with --station-dir "
                   "(TARVO_STATION_DIR)"});
  }
  return report;
}

}  // namespace tarvo::doctor
