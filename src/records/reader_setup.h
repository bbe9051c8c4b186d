#pragma once

#include <string>

namespace tarvo::records {

// What the line's readers need of the line database beyond the tables: the indexes their
// questions are answered from, and the trigger that notifies them of every record as it arrives.
// Part of the administrator's setup; safe to run again.
std::string ReaderSetupSql();

}  // namespace tarvo::records
