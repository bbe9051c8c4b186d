#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/bus_survey.h"

namespace tarvo::doctor {

// What the checks of a printer's usability read, gathered from the system (gather.h) or made up
// by a test. Plain data: the rules (diagnose.h) turn it into the report.

// The account the checks are for.
struct Account {
  uint32_t uid = 0;
  std::string name;
  // The groups the group database gives the user, its primary group included.
  std::vector<uint32_t> database_groups;
  // The groups of this process; empty for an account that is not the process's own.
  std::vector<uint32_t> process_groups;
  // The process's own account: what the process could open speaks for it.
  bool own = true;
};

// A file, folder or device node as stat() shows it.
struct PathFacts {
  std::string path;
  bool exists = false;
  bool folder = false;
  uint32_t uid = 0;
  uint32_t gid = 0;
  uint32_t mode = 0;  // the permission bits
  std::string owner;  // names, or the numbers as text when the databases have none
  std::string group;
};

// Where the records go: the settings store, the records file.
struct StoreFacts {
  PathFacts file;
  PathFacts folder;
};

struct LineDatabaseFacts {
  bool configured = false;
  std::string shown_url;  // the password blanked
  bool reached = false;
  std::string error;  // the password blanked
};

struct ChartFacts {
  std::string folder;
  int files = 0;                     // chart files the table names
  std::vector<std::string> missing;  // of those, not in the folder
};

// The group the udev rule gives the printers to.
inline constexpr const char* kPrinterGroup = "tarvo";
// The udev rule's file name, and how it is installed.
inline constexpr const char* kUdevRule = "60-tarvo-printers.rules";
inline constexpr const char* kInstallRule = "scripts/install-udev-rule.sh";

struct Facts {
  // Nothing where there are no USB checks (the Windows build).
  std::optional<BusSurvey> usb;
  std::map<std::string, PathFacts> device_nodes;  // by path, for the printers surveyed
  Account account;
  std::optional<std::string> udev_rule;     // where it is installed
  std::vector<std::string> udev_rule_dirs;  // where it was looked for
  std::optional<uint32_t> printer_group;    // the group's number, when the group exists
  std::optional<StoreFacts> settings;       // nothing: the registry holds them (Windows)
  std::optional<StoreFacts> records;        // nothing: a build without records
  std::optional<LineDatabaseFacts> line;    // nothing: a build without records
  ChartFacts charts;
};

}  // namespace tarvo::doctor
