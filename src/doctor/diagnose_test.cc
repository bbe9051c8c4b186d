#include "doctor/diagnose.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace tarvo::doctor {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr uint32_t kAlice = 1000, kUsers = 100, kTarvo = 990;
const char* kNode = "/dev/bus/usb/001/004";

PathFacts Path(std::string path, uint32_t uid, uint32_t gid, uint32_t mode, bool folder = false) {
  return {std::move(path),
          true,
          folder,
          uid,
          gid,
          mode,
          uid == 0 ? "root" : "alice",
          gid == kTarvo ? "tarvo" : (gid == 0 ? "root" : "users")};
}

// Alice in group tarvo at a station where the rule is installed and applied, one printer on the
// bus that she has opened, its interface held by usblp; the stores writable, the charts there.
Facts Station() {
  Facts f;
  f.account = {kAlice, "alice", {kUsers, kTarvo}, {kUsers, kTarvo}, true};
  BusSurvey bus;
  bus.readable = true;
  bus.devices = 5;
  SurveyedPrinter p;
  p.vendor_id = 0x0A3C;
  p.product_id = 0x7251;
  p.bus = 1;
  p.address = 4;
  p.port_path = "1-2";
  p.device_node = kNode;
  p.access = DeviceAccess::kOpened;
  p.interfaces = {{0, std::string("usblp"), false}};
  bus.printers = {p};
  f.usb = bus;
  f.device_nodes[kNode] = Path(kNode, 0, kTarvo, 0660);
  f.udev_rule = "/etc/udev/rules.d/60-tarvo-printers.rules";
  f.udev_rule_dirs = {"/etc/udev/rules.d", "/lib/udev/rules.d"};
  f.printer_group = kTarvo;
  f.settings = StoreFacts{Path("/var/lib/tarvo/settings.json", kAlice, kTarvo, 0664),
                          Path("/var/lib/tarvo", 0, kTarvo, 02775, true)};
  f.records = StoreFacts{Path("/var/lib/tarvo/records.sqlite", kAlice, kTarvo, 0664),
                         Path("/var/lib/tarvo", 0, kTarvo, 02775, true)};
  f.line = LineDatabaseFacts{};
  f.charts = {"/srv/station", 24, {}};
  return f;
}

const Finding& Find(const Report& report, const std::string& check) {
  auto it = std::find_if(report.findings.begin(), report.findings.end(),
                         [&](const Finding& f) { return f.check == check; });
  if (it == report.findings.end()) throw std::runtime_error("no finding " + check);
  return *it;
}

SurveyedPrinter& ThePrinter(Facts& f) {
  return f.usb->printers.front();
}

TEST(DiagnoseTest, StationReadyIsUsableWithTheKernelDriverLeftToTheLink) {
  const Report r = Diagnose(Station());
  EXPECT_TRUE(r.printer_usable);
  for (const Finding& f : r.findings) {
    EXPECT_TRUE(f.state == State::kOk || f.state == State::kNote) << FindingLine(f);
  }
  EXPECT_THAT(Find(r, "device node").what,
              AllOf(HasSubstr("/dev/bus/usb/001/004 (owner root, group tarvo, rw-rw----)"),
                    HasSubstr("alice may open it")));
  EXPECT_THAT(Find(r, "kernel driver").what, HasSubstr("usblp: the tool detaches it"));
  EXPECT_THAT(Find(r, "printer").what, HasSubstr("0a3c:7251 at 1-2 (bus 1, device 4)"));
}

TEST(DiagnoseTest, NoPrinterOnTheBus) {
  Facts f = Station();
  f.usb->printers.clear();
  const Report r = Diagnose(f);
  EXPECT_FALSE(r.printer_usable);
  EXPECT_EQ(Find(r, "printer").state, State::kProblem);
  EXPECT_THAT(Find(r, "printer").todo, HasSubstr("0b7d:080c"));
}

TEST(DiagnoseTest, UnreadableBusAndNoUsbChecks) {
  Facts f = Station();
  f.usb->readable = false;
  f.usb->problem = "the USB device list cannot be read: Access denied";
  Report r = Diagnose(f);
  EXPECT_FALSE(r.printer_usable);
  EXPECT_EQ(Find(r, "usb bus").state, State::kProblem);
  EXPECT_THROW(Find(r, "printer"), std::runtime_error);

  f.usb.reset();
  r = Diagnose(f);
  EXPECT_EQ(Find(r, "usb bus").state, State::kNote);
  EXPECT_THROW(Find(r, "udev rule"), std::runtime_error);
  EXPECT_FALSE(r.printer_usable);
}

// What the report tells a person whose open was refused depends on why.
TEST(DiagnoseTest, RefusedOpenSaysWhatToDo) {
  struct Case {
    const char* name;
    void (*change)(Facts&);
    const char* todo;
  };
  const Case cases[] = {
      {"no rule", [](Facts& f) { f.udev_rule.reset(); },
       "as root: scripts/install-udev-rule.sh alice, then log in again"},
      {"no group", [](Facts& f) { f.printer_group.reset(); }, "scripts/install-udev-rule.sh alice"},
      {"rule not applied", [](Facts& f) { f.device_nodes[kNode] = Path(kNode, 0, 0, 0600); },
       "unplug it and plug it in again"},
      {"not in the group",
       [](Facts& f) {
         f.account.database_groups = {kUsers};
         f.account.process_groups = {kUsers};
       },
       "as root: usermod -aG tarvo alice, then log in again"},
      {"joined after the login", [](Facts& f) { f.account.process_groups = {kUsers}; },
       "log in again (or run newgrp tarvo)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Facts f = Station();
    ThePrinter(f).access = DeviceAccess::kDenied;
    ThePrinter(f).interfaces = {{0, std::nullopt, false}};
    c.change(f);
    const Report r = Diagnose(f);
    EXPECT_FALSE(r.printer_usable);
    EXPECT_EQ(Find(r, "device node").state, State::kProblem);
    EXPECT_THAT(Find(r, "device node").what, HasSubstr("alice may not open it"));
    EXPECT_THAT(Find(r, "device node").todo, HasSubstr(c.todo));
    EXPECT_EQ(Find(r, "kernel driver").state, State::kNote);
  }
}

TEST(DiagnoseTest, GroupTellsWhenANewLoginIsNeeded) {
  Facts f = Station();
  f.account.process_groups = {kUsers};
  Finding g = Find(Diagnose(f), "group");
  EXPECT_EQ(g.state, State::kWarning);
  EXPECT_THAT(g.what, HasSubstr("but this login is not"));

  f.account.database_groups = {kUsers};
  g = Find(Diagnose(f), "group");
  EXPECT_THAT(g.what, HasSubstr("alice is not in group tarvo"));

  f.account = {0, "root", {0}, {0}, true};
  EXPECT_EQ(Find(Diagnose(f), "group").state, State::kOk);
  // Root needs no rule; the accounts that use the printers do.
  f.udev_rule.reset();
  EXPECT_EQ(Find(Diagnose(f), "udev rule").state, State::kNote);
  EXPECT_THAT(Find(Diagnose(f), "udev rule").todo,
              HasSubstr("install-udev-rule.sh USER... for the station's accounts"));
}

// An account other than the process's own is judged by the node's owner, group and mode.
TEST(DiagnoseTest, AnotherAccountIsJudgedByTheNodeMode) {
  Facts f = Station();
  f.account = {1001, "bob", {kUsers}, {}, false};
  EXPECT_FALSE(Diagnose(f).printer_usable);
  EXPECT_THAT(Find(Diagnose(f), "device node").what, HasSubstr("bob may not open it"));
  f.account.database_groups.push_back(kTarvo);
  EXPECT_TRUE(Diagnose(f).printer_usable);
}

TEST(DiagnoseTest, OpenFailuresOtherThanPermission) {
  Facts f = Station();
  ThePrinter(f).access = DeviceAccess::kOther;
  ThePrinter(f).open_error = "Input/Output Error";
  Report r = Diagnose(f);
  EXPECT_FALSE(r.printer_usable);
  EXPECT_THAT(Find(r, "device node").what, HasSubstr("cannot be opened: Input/Output Error"));

  ThePrinter(f).access = DeviceAccess::kGone;
  r = Diagnose(f);
  EXPECT_FALSE(r.printer_usable);
  EXPECT_THAT(Find(r, "device node").what, HasSubstr("left the bus"));
}

TEST(DiagnoseTest, InterfacesHeldByAnotherProgramOrMissing) {
  Facts f = Station();
  ThePrinter(f).interfaces = {{0, std::string(), true}};
  Report r = Diagnose(f);
  EXPECT_FALSE(r.printer_usable);
  EXPECT_THAT(Find(r, "kernel driver").what, HasSubstr("claimed by another program"));

  ThePrinter(f).interfaces = {{0, std::string("usbfs"), false}};
  EXPECT_FALSE(Diagnose(f).printer_usable);

  ThePrinter(f).interfaces.clear();
  r = Diagnose(f);
  EXPECT_FALSE(r.printer_usable);
  EXPECT_EQ(Find(r, "interface").state, State::kProblem);

  ThePrinter(f).interfaces = {{0, std::string(), false}};
  r = Diagnose(f);
  EXPECT_TRUE(r.printer_usable);
  EXPECT_EQ(Find(r, "kernel driver").state, State::kOk);
}

// With two printers each finding names its port; one usable printer is enough.
TEST(DiagnoseTest, TwoPrintersAreTold) {
  Facts f = Station();
  SurveyedPrinter second = ThePrinter(f);
  second.port_path = "1-3";
  second.access = DeviceAccess::kDenied;
  f.usb->printers.push_back(second);
  const Report r = Diagnose(f);
  EXPECT_TRUE(r.printer_usable);
  EXPECT_EQ(Find(r, "device node 1-2").state, State::kOk);
  EXPECT_EQ(Find(r, "device node 1-3").state, State::kProblem);
}

TEST(DiagnoseTest, StoresMustTakeTheirReplacement) {
  Facts f = Station();
  f.settings->folder = Path("/var/lib/tarvo", 0, 0, 0755, true);
  Finding s = Find(Diagnose(f), "settings");
  EXPECT_EQ(s.state, State::kProblem);
  EXPECT_THAT(s.what, HasSubstr("alice may not write in it"));
  EXPECT_THAT(s.todo, HasSubstr("TARVO_CONFIG_DIR"));

  f = Station();
  f.records->file = Path("/var/lib/tarvo/records.sqlite", 0, 0, 0644);
  EXPECT_THAT(Find(Diagnose(f), "records file").what, HasSubstr("may not write it"));

  f = Station();
  f.records->file.exists = false;
  EXPECT_THAT(Find(Diagnose(f), "records file").what, HasSubstr("can be made"));
  f.records->folder.exists = false;
  EXPECT_THAT(Find(Diagnose(f), "records file").what, HasSubstr("is not there"));
  // Neither stops the printer.
  EXPECT_TRUE(Diagnose(f).printer_usable);
}

TEST(DiagnoseTest, LineDatabaseAndChartFiles) {
  Facts f = Station();
  EXPECT_EQ(Find(Diagnose(f), "line database").state, State::kNote);
  f.line = LineDatabaseFacts{true, "postgresql://station01:***@db/line", false,
                             "connection to server at \"db\" failed: timeout expired"};
  const Finding line = Find(Diagnose(f), "line database");
  EXPECT_EQ(line.state, State::kWarning);
  EXPECT_THAT(line.what, AllOf(HasSubstr("station01:***@db"), HasSubstr("timeout expired")));
  f.line->reached = true;
  EXPECT_EQ(Find(Diagnose(f), "line database").state, State::kOk);

  f.charts.missing = {"I_NC_1.prn", "I_NC_2.prn"};
  const Finding charts = Find(Diagnose(f), "chart files");
  EXPECT_EQ(charts.state, State::kWarning);
  EXPECT_THAT(charts.what, HasSubstr("2 of 24 missing in /srv/station: I_NC_1.prn, I_NC_2.prn"));
  f.charts.missing.resize(24, "I_S14_1.prn");
  EXPECT_THAT(Find(Diagnose(f), "chart files").what,
              HasSubstr("none of the 24 is in /srv/station"));
}

TEST(DiagnoseTest, MayUseReadsOwnerGroupAndOthers) {
  const Account own{kAlice, "alice", {kTarvo}, {kUsers}, true};
  const Account other{kAlice, "alice", {kTarvo}, {}, false};
  const Account root{0, "root", {}, {}, true};
  const PathFacts group_rw = Path(kNode, 0, kTarvo, 0660);
  // The process's groups count for its own account, the database's for another.
  EXPECT_FALSE(MayUse(group_rw, own, 6));
  EXPECT_TRUE(MayUse(group_rw, other, 6));
  EXPECT_TRUE(MayUse(group_rw, root, 6));
  EXPECT_TRUE(MayUse(Path(kNode, kAlice, 0, 0600), own, 6));
  EXPECT_FALSE(MayUse(Path(kNode, kAlice, 0, 0400), own, 6));
  // The owner's bits decide for the owner, even when others' would allow.
  EXPECT_FALSE(MayUse(Path(kNode, kAlice, 0, 0066), own, 6));
  EXPECT_TRUE(MayUse(Path(kNode, 0, 0, 0666), own, 6));
  PathFacts gone = group_rw;
  gone.exists = false;
  EXPECT_FALSE(MayUse(gone, root, 6));
}

TEST(ReportTest, LinesAndVerdict) {
  EXPECT_EQ(ModeText(0660), "rw-rw----");
  EXPECT_EQ(ModeText(0751), "rwxr-x--x");
  Report r;
  r.findings = {{"udev rule", State::kWarning, "not installed", "install it"},
                {"usb bus", State::kOk, "readable", ""}};
  EXPECT_EQ(ReportText(r),
            "warn  udev rule: not installed -> install it\n"
            "ok    usb bus: readable\n"
            "No printer is usable.\n");
  r.printer_usable = true;
  EXPECT_THAT(ReportText(r), AllOf(HasSubstr("A printer is usable.\n"), Not(HasSubstr("No "))));
  EXPECT_EQ(FindingLine({"x", State::kProblem, "y", ""}), "FAIL  x: y");
}

}  // namespace
}  // namespace tarvo::doctor
