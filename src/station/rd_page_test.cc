#include "station/rd_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "testing/device_rig.h"

namespace tarvo::station {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RdRig : testing::DeviceRig {
  explicit RdRig(sim::SimSpec spec = {}) : testing::DeviceRig(kProgramEdition, std::move(spec)) {
    page.Initialise();
  }
  // The link's opens and closes, in order.
  std::vector<std::string> LinkEvents() const {
    std::vector<std::string> out;
    for (const auto& line : wire_lines.lines()) {
      if (line.starts_with("O ") || line == "C") out.push_back(line);
    }
    return out;
  }
  size_t Writes() const {
    return std::count_if(wire_lines.lines().begin(), wire_lines.lines().end(),
                         [](const std::string& l) { return l.starts_with("W"); });
  }
  StationData data;
  RdPage page{ctx, link, data};
};

TEST(RdPage, ThirteenEntriesSortedIntoNumberOrder) {
  RdRig rig;
  const auto& entries = rig.page.entries();
  ASSERT_EQ(entries.size(), 13u);
  auto added = RdPage::EntryTexts();
  EXPECT_TRUE(std::equal(entries.begin(), entries.end(), added.begin(), added.end()));
  EXPECT_EQ(entries[0], " 1. Change Ink Charge Flag");
  EXPECT_EQ(entries[7], " 8. Dump ROM Data & Set initial value");
  EXPECT_EQ(entries[8], " 9. Update FW");
  EXPECT_EQ(entries[9], "10. Motor Lock/Unlock/Hold/Release");
  EXPECT_EQ(entries[12], "13. Dump Fatal Error Code");
  EXPECT_EQ(rig.page.selection(), std::nullopt);
}

TEST(RdPage, ADoubleClickRunsTheSelectedEntryBetweenOpenAndClose) {
  RdRig rig;
  rig.page.Select(1);  // " 2. Show FW Version"
  PageRun run = rig.page.DoubleClick();
  EXPECT_EQ(run.kind, RunEnd::kRan);
  EXPECT_EQ(run.entry, " 2. Show FW Version");
  EXPECT_THAT(rig.op.dialogs_shown(), ElementsAre(195));
  EXPECT_THAT(rig.LinkEvents(), ElementsAre("O PIPE00 ok", "O PIPE01 ok", "C"));
  EXPECT_FALSE(rig.link.is_open());

  rig.Forget();
  rig.page.Select(6);  // " 7. Dump ROM Data": the EEPROM Data dialog on the image as read
  rig.op.QueueDialogLine("ok");
  run = rig.page.DoubleClick();
  EXPECT_TRUE(run.outcome.ok());  // confirmed unchanged: nothing to write
  EXPECT_THAT(rig.op.dialogs_shown(), ElementsAre(197));
  EXPECT_THAT(rig.LinkEvents(), ElementsAre("O PIPE00 ok", "O PIPE01 ok", "C"));
}

TEST(RdPage, OffLineRunsNoOperation) {
  sim::SimSpec gone;
  gone.faults.absent = true;
  RdRig rig(gone);
  rig.page.Select(12);
  PageRun run = rig.page.DoubleClick();
  EXPECT_TRUE(run.offline());
  EXPECT_THAT(rig.MessageTexts(), ElementsAre("ERROR: Print Off line !!"));
  EXPECT_THAT(rig.op.dialogs_shown(), IsEmpty());
  EXPECT_EQ(rig.Writes(), 0u);
  EXPECT_FALSE(rig.link.is_open());
}

TEST(RdPage, NoSelectionOpensAndClosesAndRunsNothing) {
  RdRig rig;
  rig.page.Select(4);
  rig.page.FocusLost();  // another tab was clicked: the selection is gone
  EXPECT_EQ(rig.page.selection(), std::nullopt);
  PageRun run = rig.page.DoubleClick();
  EXPECT_EQ(run.kind, RunEnd::kNothing);
  EXPECT_THAT(rig.LinkEvents(), ElementsAre("O PIPE00 ok", "O PIPE01 ok", "C"));
  EXPECT_EQ(rig.Writes(), 0u);
  EXPECT_THAT(rig.op.events(), IsEmpty());

  rig.page.Select(13);  // past the list: nothing selected
  EXPECT_EQ(rig.page.selection(), std::nullopt);
  rig.page.Select(-1);
  EXPECT_EQ(rig.page.selection(), std::nullopt);
}

TEST(RdPage, TheLinkIsClosedWhenTheOperatorCannotAnswer) {
  RdRig rig;
  rig.op.QueueDialog([](DialogModel&) -> int { throw OperatorAborted("script ran out"); });
  rig.page.Select(6);
  EXPECT_THROW(rig.page.DoubleClick(), OperatorAborted);
  EXPECT_FALSE(rig.link.is_open());
}

}  // namespace
}  // namespace tarvo::station
