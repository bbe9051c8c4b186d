#pragma once

#include "doctor/facts.h"
#include "doctor/report.h"

namespace tarvo::doctor {

// The rules: the report of what `facts` show, in this order: the USB bus, each supported printer
// (present, its device node, its interfaces and their drivers), the udev rule, the printer group,
// the settings store, the records file, the line database, the chart files. A printer is usable
// when this account may open its device node and one of its printer interfaces is not claimed by
// another program (a kernel driver is no obstacle: the link detaches it). Pure; any thread.
Report Diagnose(const Facts& facts);

// Whether `account` may use `path` for `want` (the bits r = 4, w = 2, x = 1) by its owner, group
// and mode: root may do anything; else the owner's, the group's or the others' bits decide, the
// group's for a member of the file's group (the process's groups for the process's own account,
// the group database's for another).
bool MayUse(const PathFacts& path, const Account& account, unsigned want);

// "rw-rw----".
std::string ModeText(uint32_t mode);

}  // namespace tarvo::doctor
