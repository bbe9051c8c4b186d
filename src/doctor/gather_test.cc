// The gathering against printers emulated by umockdev, through the real libusb backend.
#ifdef TARVO_HAVE_USB

#include "doctor/gather.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <umockdev.h>

#include <algorithm>
#include <fstream>

#include "base/settings_store.h"
#include "doctor/diagnose.h"
#include "testing/scratch_dir.h"
#include "usb/testing/emulated_bus.h"

namespace tarvo::doctor {
namespace {

using tarvo::testing::EmulatedPrinterSpec;
using ::testing::HasSubstr;

class GatherTest : public tarvo::testing::EmulatedBusTest {
 protected:
  // The facts for `user` ("": this process's), the udev rule looked for in an empty folder.
  Facts Look(const std::string& user = "") {
    GatherOptions options;
    options.bus = &backend();
    options.user = user;
    options.station_dir = station_.path();
    options.settings = &settings_;
    options.udev_rule_dirs = {rules_.path().string()};
    std::string error;
    std::optional<Facts> facts = Gather(options, &error);
    if (!facts) throw std::runtime_error(error);
    return *facts;
  }

  static const Finding& Find(const Report& report, const std::string& check) {
    auto it = std::find_if(report.findings.begin(), report.findings.end(),
                           [&](const Finding& f) { return f.check == check; });
    if (it == report.findings.end()) throw std::runtime_error("no finding " + check);
    return *it;
  }

  // The emulated device node, as the testbed keeps it.
  static std::string TestbedNode(const std::string& node) {
    return std::string(umockdev_testbed_get_root_dir(tarvo::testing::Testbed())) + node;
  }

  tarvo::testing::ScratchDir station_;
  tarvo::testing::ScratchDir rules_;
  MemorySettingsStore settings_;
};

TEST_F(GatherTest, PrinterPresentAndUsable) {
  EmulatedPrinterSpec spec;
  spec.usblp_bound = false;
  Plug(spec);
  const Facts facts = Look();
  ASSERT_TRUE(facts.usb && facts.usb->readable);
  ASSERT_EQ(facts.usb->printers.size(), 1u);
  const SurveyedPrinter& p = facts.usb->printers[0];
  EXPECT_EQ(p.vendor_id, 0x0A3C);
  EXPECT_EQ(p.product_id, 0x7251);
  EXPECT_EQ(p.port_path, "1-1");
  EXPECT_EQ(p.device_node, "/dev/bus/usb/001/002");
  EXPECT_EQ(p.access, DeviceAccess::kOpened);
  ASSERT_EQ(p.interfaces.size(), 1u);
  EXPECT_EQ(p.interfaces[0].kernel_driver, std::string());
  EXPECT_FALSE(p.interfaces[0].claimed_elsewhere);
  EXPECT_TRUE(facts.device_nodes.at(p.device_node).exists);

  const Report report = Diagnose(facts);
  EXPECT_TRUE(report.printer_usable) << ReportText(report);
  EXPECT_EQ(Find(report, "device node").state, State::kOk);
}

TEST_F(GatherTest, PrinterAbsent) {
  // A device of another make on the bus is no printer of ours.
  EmulatedPrinterSpec other;
  other.vendor_id = 0x1234;
  Plug(other);
  const Report report = Diagnose(Look());
  EXPECT_FALSE(report.printer_usable);
  EXPECT_EQ(Find(report, "usb bus").state, State::kOk);
  EXPECT_EQ(Find(report, "printer").state, State::kProblem);
  EXPECT_THAT(Find(report, "printer").what, HasSubstr("no supported printer"));
}

TEST_F(GatherTest, PrinterPresentButNotPermitted) {
  EmulatedPrinterSpec spec;
  spec.product_id = 0x080C;
  spec.vendor_id = 0x0B7D;
  spec.port = 3;
  Plug(spec);
  ASSERT_EQ(chmod(TestbedNode("/dev/bus/usb/001/004").c_str(), 0600), 0);
  // Another account than the process's: judged by the node's owner, group and mode.
  const Facts facts = Look("nobody");
  const PathFacts& node = facts.device_nodes.at("/dev/bus/usb/001/004");
  EXPECT_EQ(node.mode, 0600u);
  const Report report = Diagnose(facts);
  EXPECT_FALSE(report.printer_usable) << ReportText(report);
  const Finding& finding = Find(report, "device node");
  EXPECT_EQ(finding.state, State::kProblem);
  EXPECT_THAT(finding.what, HasSubstr("rw-------): nobody may not open it"));
  EXPECT_THAT(finding.todo, HasSubstr("scripts/install-udev-rule.sh nobody"));
  EXPECT_EQ(Find(report, "udev rule").state, State::kWarning);
}

TEST_F(GatherTest, KernelDriverBoundIsToldAndLeftBound) {
  EmulatedPrinterSpec spec;
  spec.usblp_bound = true;
  auto& printer = Plug(spec);
  const Facts facts = Look();
  ASSERT_EQ(facts.usb->printers.size(), 1u);
  EXPECT_EQ(facts.usb->printers[0].interfaces.at(0).kernel_driver, "usblp");
  const Report report = Diagnose(facts);
  EXPECT_TRUE(report.printer_usable) << ReportText(report);
  EXPECT_THAT(Find(report, "kernel driver").what, HasSubstr("usblp: the tool detaches it"));
  // Looking detached nothing and claims nothing.
  EXPECT_TRUE(printer.usblp_bound());
  EXPECT_FALSE(printer.claimed());
}

TEST_F(GatherTest, InterfaceClaimedByAnotherProgram) {
  EmulatedPrinterSpec spec;
  spec.usblp_bound = false;
  Plug(spec).set_claimed_elsewhere(true);
  const Report report = Diagnose(Look());
  EXPECT_FALSE(report.printer_usable);
  EXPECT_THAT(Find(report, "kernel driver").what, HasSubstr("claimed by another program"));
}

TEST_F(GatherTest, StationFolderChartFilesAndUdevRule) {
  for (const char* name : {"I_NC_1.prn", "I_NC_2.prn"}) std::ofstream(station_.File(name)) << "x";
  std::ofstream(rules_.File("60-tarvo-printers.rules")) << "# rule\n";
  const Facts facts = Look();
  EXPECT_EQ(facts.charts.folder, station_.path().string());
  EXPECT_EQ(facts.charts.missing.size(), static_cast<size_t>(facts.charts.files - 2));
  EXPECT_EQ(std::count(facts.charts.missing.begin(), facts.charts.missing.end(), "I_NC_1.prn"), 0);
  EXPECT_EQ(facts.udev_rule, rules_.File("60-tarvo-printers.rules"));
}

TEST_F(GatherTest, UnknownAccountIsRefused) {
  GatherOptions options;
  options.bus = &backend();
  options.user = "no-such-account-here";
  std::string error;
  EXPECT_FALSE(Gather(options, &error));
  EXPECT_EQ(error, "no account no-such-account-here");
}

}  // namespace
}  // namespace tarvo::doctor

#endif  // TARVO_HAVE_USB
