#pragma once

#include <chrono>
#include <string>

#include "records/line_reader.h"

namespace tarvo::line {

using Json = nlohmann::ordered_json;
using records::Rows;

// How long a station may go without a step before it counts as idle, then as silent.
struct Thresholds {
  int idle_s = 10 * 60;
  int silent_s = 60 * 60;
};

// The answers behind the pages, made from what a LineReader gives; no I/O of their own.

// "Line now": each station's last step, its result, the seconds since it ended and the
// station's state ("working", "idle", "silent").
Json LineNow(const Rows& last_steps, std::chrono::system_clock::time_point now,
             const Thresholds& thresholds = {});

// Yield per station and period: `by` is "day", "shift" (early 06-14, late 14-22, night 22-06,
// counted to the day it began) or "hour". A printer is passed or failed by the total of its last
// step in the period; first pass when no step of it failed there. `rows`: steps, or a
// LineReader's YieldCounts of them, oldest first.
Json Yield(const Rows& rows, const std::string& by);

// The slots that failed, most first, with the printers that failed them and the running share.
Json Failures(const Rows& failed_steps);
// The printers that failed `slot`, with the step that failed it.
Json FailedPrinters(const Rows& failed_steps, const std::string& slot);

// The adjustment values of each printer's last Station 2 step: the values, a histogram per
// field and a daily control chart (the day's mean against the centre line and 3 sigma limits).
// `steps`: oldest first, or already each printer's last (a LineReader's LastAdjustments).
Json Adjustments(const Rows& steps);

// Dot weights with their limits and the share outside them, per kind.
Json DotWeights(const Rows& measurements);

// One printer's history; each journal entry with its fields before, written and read back.
Json Printer(const records::PrinterKey& key, const Rows& steps, const Rows& journal,
             const Rows& dot_weights);

// A journal row's fields, from the hex of its bytes.
Json JournalFields(const records::Row& entry);

// "PASS", "FAIL" or "Testing" for a step's total.
std::string TotalText(int total);

}  // namespace tarvo::line
