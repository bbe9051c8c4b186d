#pragma once

#include <string>

namespace tarvo::records {

// The dashboard's aggregating questions, the same SQL for the line database and a records file:
// they differ in the steps' table, what orders records of the same second, and how the next
// step of a station is found.
struct StepsTable {
  std::string table;  // "tarvo_steps", "steps"
  std::string at;     // the order of arrival: "ctid", "id"
  // The printer (head ID, else USB serial number) that the same host's same station names next
  // after step `s`; NULL when no step follows. SQL of one value.
  std::string next_printer;
};

// The printer a step of table alias `alias` names: head ID, else USB serial number, else ''.
std::string PrinterSql(const std::string& alias);

// Steps by hour, host, station and printer; `where` filters the steps (alias `s`).
std::string YieldCountsSql(const StepsTable& t, const std::string& where);

// Each printer's last step among those `where` keeps (alias `s`), lean, ordered by each
// printer's first step there.
std::string LastAdjustmentsSql(const StepsTable& t, const std::string& where);

}  // namespace tarvo::records
