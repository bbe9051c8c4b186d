#pragma once

#include <optional>
#include <string>

namespace tarvo::records {

// The line database's hourly rollup of the steps, kept by a trigger as each step arrives, so the
// dashboard's yield and adjustments over months read one row per printer and hour instead of
// every step:
//   tarvo_step_hours    (hour, host, station, printer): steps, failed_steps, the total of the last
//                       (last_started, last_total), and the adjustments of the last step that
//                       names the printer itself (named_first, named_last, usb_serial, head_id,
//                       tof ms1 ms2 vsd ecn; null while none has)
//   tarvo_unnamed_steps steps naming no printer whose station has named none after them yet
// A step naming no printer counts for the one its station names next, as YieldCountsSql counts.
// Part of the administrator's setup after the tables and roles; made and filled from the steps
// already there the first time, in the setup's transaction; safe to run again.
std::string StepRollupSql();

// The rollup's answers to LineReader::YieldCounts and LastAdjustments. `hours` filters
// tarvo_step_hours (its `hour`, "2026-12-08T09", and `station`); `unnamed` filters
// tarvo_unnamed_steps (its `started` and `station`).
std::string RollupYieldCountsSql(const std::string& hours, const std::string& unnamed);
std::string RollupLastAdjustmentsSql(const std::string& hours);

// A range bound as the rollup can answer it: the hour ("2026-12-08", "2026-12-08T09") of a day
// or a whole hour ("2026-12-08T09:00:00"); nothing for a bound within an hour.
std::optional<std::string> HourBound(const std::string& time);

}  // namespace tarvo::records
