#include "station/settings_page.h"

#include <gtest/gtest.h>

#include "operations/printer_options.h"
#include "testing/device_rig.h"

namespace tarvo::station {
namespace {

// A store whose writes are all lost.
class ReadOnlyStore : public MemorySettingsStore {
 public:
  bool Write(std::string_view, std::string_view, std::span<const uint8_t>) override {
    return false;
  }
  bool Update(const Change&) override { return false; }
};

struct PrinterOptionEditorsTest : ::testing::Test, testing::DeviceRig {};

TEST_F(PrinterOptionEditorsTest, OffsetEditorShowsTheStoreAndApplyStoresTheWholeGroup) {
  WriteOffsetSettings(settings, {.disable = 1, .ms1 = -3, .ms2 = 2, .vsd = 0, .ecn = 9, .tof = 4});
  bool shown = false;
  op.QueueDialog([&](DialogModel& d) {
    shown = true;
    EXPECT_EQ(d.id(), 211);
    EXPECT_EQ(d.control(1294)->selected, 1);
    EXPECT_EQ(d.control(1259)->text, "-3");
    EXPECT_EQ(d.control(1263)->text, "9");
    EXPECT_FALSE(d.control(1094)->enabled);
    d.control(1294)->selected = 0;
    d.Changed(1294);
    d.control(1262)->text = "-7";
    return DialogModel::kOkId;
  });
  ASSERT_TRUE(EditOffsetSettings(ctx));
  EXPECT_TRUE(shown);
  EXPECT_EQ(ReadOffsetSettings(settings),
            (OffsetSettings{.disable = 0, .ms1 = -3, .ms2 = 2, .vsd = -7, .ecn = 9, .tof = 4}));
  // The ink values are another group: untouched.
  EXPECT_FALSE(settings.Read(kSelectPrinterKey, "tclCond").has_value());
}

TEST_F(PrinterOptionEditorsTest, ExitAndARefusedEntryStoreNothing) {
  op.QueueDialog([](DialogModel& d) {
    d.control(1259)->text = "5";
    return DialogModel::kCancelId;  // "EXIT"
  });
  EXPECT_EQ(EditOffsetSettings(ctx).kind, OutcomeKind::kCancelled);
  op.QueueDialogLine("fields tclCondition=300");
  op.QueueDialogLine("cancel");
  EXPECT_EQ(EditInkSettings(ctx).kind, OutcomeKind::kCancelled);
  ASSERT_EQ(op.refusals().size(), 1u);
  EXPECT_EQ(op.refusals()[0].text, "Please enter an integer between 0 and 255.");
  EXPECT_TRUE(settings.values().empty());
}

TEST_F(PrinterOptionEditorsTest, InkEditorStartsFromTheDefaultsAndOkStoresFourBytes) {
  op.QueueDialog([](DialogModel& d) {
    EXPECT_EQ(d.control(1306)->text, "2");
    EXPECT_EQ(d.control(1185)->text, "24");
    EXPECT_EQ(d.control(1307)->text, "3");
    EXPECT_EQ(d.control(1305)->selected, 0);
    return DialogModel::kOkId;
  });
  op.QueueDialogLine("fields Ink System Init=Off");
  ASSERT_TRUE(EditInkSettings(ctx));
  for (const char* name : {"disableink", "CL2KK", "tclCond", "unplugA"}) {
    auto bytes = settings.Read(kSelectPrinterKey, name);
    ASSERT_TRUE(bytes.has_value()) << name;
    EXPECT_EQ(bytes->size(), 1u) << name;
  }
  ASSERT_TRUE(EditInkSettings(ctx));
  EXPECT_EQ(ReadInkSettings(settings),
            (InkSettings{.disable_ink = 1, .cl2kk = 2, .tcl_cond = 3, .unplug_a = 24}));
  EXPECT_TRUE(op.messages().empty());
}

TEST_F(PrinterOptionEditorsTest, AStoreThatCannotBeWrittenIsToldAndNotReportedAsSaved) {
  ReadOnlyStore store;
  Context lost{kProgramEdition, clock, op, store, wire};
  op.QueueDialogLine("ok");
  const Outcome out = EditInkSettings(lost);
  EXPECT_EQ(out.kind, OutcomeKind::kNotDone);
  ASSERT_EQ(op.messages().size(), 1u);
  EXPECT_EQ(op.messages()[0].caption, "Save");
  EXPECT_EQ(op.messages()[0].text, "Cannot write the printer option settings !!");
  op.QueueDialogLine("apply");
  EXPECT_EQ(EditOffsetSettings(lost).kind, OutcomeKind::kNotDone);
}

}  // namespace
}  // namespace tarvo::station
