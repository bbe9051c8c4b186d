#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/record_sink.h"

namespace tarvo::records {

// The columns of a step record, after the origin columns (uid, host, tool_version, edition), in
// the order both databases store them: the one list the records file's queries and the line
// database's table and inserts are made from. A column added here needs a migration of the
// records file (records/schema.cc) too; a test holds the two together.
struct StepColumn {
  std::string_view name;
  bool integer;           // INTEGER, else TEXT; never null
  bool utc_time = false;  // a UTC time stamp: TIMESTAMPTZ in the line database, null when empty
};
std::span<const StepColumn> StepColumns();

// The values of `step` for StepColumns(), in their order.
using StepValue = std::variant<int64_t, std::string>;
std::vector<StepValue> StepValues(const StepRecord& step);
// The step (without its slots) from values of StepColumns(), as StepValues gave them.
StepRecord StepOf(std::span<const StepValue> values);

// "station, position, ..., jig".
std::string StepColumnList();
// The column definitions of a CREATE TABLE: "  station INTEGER NOT NULL,\n  ...", each line
// ending with a comma and a new line.
std::string StepColumnDefinitions();

}  // namespace tarvo::records
