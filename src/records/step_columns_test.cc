#include "records/step_columns.h"

#include <gmock/gmock.h>

#include "records/schema.h"
#include "testing/scratch_dir.h"

namespace tarvo::records {
namespace {

// The records file's steps table, as its migrations made it, has the step columns of the list
// the queries and the line database are made from: same names, same order, same types.
TEST(StepColumnsTest, RecordsFileTableHoldsTheListedColumnsInOrder) {
  tarvo::testing::ScratchDir scratch;
  SqliteDb db;
  ASSERT_TRUE(db.Open(scratch.File("records.sqlite")));
  ASSERT_TRUE(MigrateTo(db));
  std::vector<std::pair<std::string, std::string>> table;
  SqliteStatement q(db, "SELECT name, type FROM pragma_table_info('steps') ORDER BY cid");
  while (q.Step()) table.emplace_back(q.Text(0), q.Text(1));
  // id, uid, host, tool_version, edition first; "sent" came with the second version,
  // "set_aside" with the third and the station's identity with the fifth, among the step's own
  // columns added then.
  std::erase_if(table, [](const auto& column) {
    for (const char* origin : {"sent", "set_aside", "station_no", "belt_name", "pc_name", "jig_no"})
      if (column.first == origin) return true;
    return false;
  });
  ASSERT_EQ(table.size(), 5 + StepColumns().size());
  for (size_t i = 0; i < StepColumns().size(); ++i) {
    const StepColumn& c = StepColumns()[i];
    EXPECT_EQ(table[5 + i].first, c.name);
    EXPECT_EQ(table[5 + i].second, c.integer ? "INTEGER" : "TEXT") << c.name;
  }
}

TEST(StepColumnsTest, ValuesFollowTheColumnsAndComeBackAsTheStep) {
  StepRecord r;
  r.station = 2;
  r.position = 14;
  r.text = "    3-1. Print - TOF";
  r.started = "2026-12-08T11:31:18";
  r.ended = "2026-12-08T11:32:01";
  r.total = 1;
  r.printer = {"031", "ABC01261208113118", "AB12CD"};
  r.adjustments = {-2, 3, -4, 5, -6};
  r.settings = {"031", "ABC", "01", "CT"};
  const std::vector<StepValue> values = StepValues(r);
  ASSERT_EQ(values.size(), StepColumns().size());
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(std::holds_alternative<int64_t>(values[i]), StepColumns()[i].integer)
        << StepColumns()[i].name;
  }
  EXPECT_EQ(std::get<int64_t>(values[9]), -2);  // tof
  const StepRecord back = StepOf(values);
  EXPECT_EQ(back.text, r.text);
  EXPECT_EQ(back.ended, r.ended);
  EXPECT_EQ(back.printer, r.printer);
  EXPECT_EQ(back.adjustments, r.adjustments);
  EXPECT_EQ(back.settings, r.settings);
  EXPECT_EQ(StepColumnList().substr(0, 24), "station, position, text,");
}

}  // namespace
}  // namespace tarvo::records
