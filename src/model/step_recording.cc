#include "model/step_recording.h"

#include <algorithm>

#include "model/printer_identity.h"
#include "model/printer_text.h"
#include "model/rom_layout.h"

namespace tarvo {
namespace {

// The adjustment bytes the EEPROM was seen to hold, if all of them were.
bool SeenAdjustments(RecordSink& sink, AdjustmentValues* out) {
  const RecordSink::Seen& seen = sink.seen();
  for (uint8_t offset = kMs1AdjustOffset; offset <= kTofAdjustOffset; ++offset) {
    if (!seen.known[offset]) return false;
  }
  *out = AdjustmentsOf(seen.bytes);
  return true;
}

}  // namespace

StepRecording::StepRecording(const Context& ctx, int station, int position, std::string_view text,
                             std::span<const uint8_t> results)
    : ctx_(ctx), results_before_(results.begin(), results.end()) {
  if (!ctx.records) return;
  record_.station = station;
  record_.position = position;
  record_.text = text;
  const std::tm now = ctx.clock.LocalTime();
  record_.started = IsoTime(now);
  record_.started_utc = UtcIsoTime(now);
  // What earlier steps saw belongs to them (the printer may have been replaced since).
  ctx.records->ForgetPrinter();
  std::string name(text);
  name.erase(0, std::min(name.find_first_not_of(' '), name.size()));
  ctx.records->BeginOperation("station " + std::to_string(station) + ": " + name);
}

void StepRecording::SlotSet(int slot, std::string_view name, int result) {
  auto it = std::find_if(record_.slot_results.begin(), record_.slot_results.end(),
                         [&](const SlotResult& s) { return s.slot == slot; });
  if (it != record_.slot_results.end()) {
    it->result = result;
  } else {
    record_.slot_results.push_back({slot, std::string(name), result});
  }
}

void StepRecording::Finish(std::span<const uint8_t> results,
                           std::span<const std::string_view> slot_names, int total,
                           std::span<const uint8_t> working_block,
                           std::span<const uint8_t> read_block,
                           const StationSettingsRecord& settings, const ChartLabel* label) {
  if (!ctx_.records || finished_) return;
  finished_ = true;
  for (size_t i = 0; i < results.size(); ++i) {
    const bool changed = i >= results_before_.size() || results_before_[i] != results[i];
    const bool named = std::any_of(record_.slot_results.begin(), record_.slot_results.end(),
                                   [&](const SlotResult& s) { return s.slot == int(i); });
    if (changed && !named) {
      SlotSet(static_cast<int>(i), i < slot_names.size() ? slot_names[i] : std::string_view(),
              results[i]);
    }
  }
  std::sort(record_.slot_results.begin(), record_.slot_results.end(),
            [](const SlotResult& a, const SlotResult& b) { return a.slot < b.slot; });
  const std::tm now = ctx_.clock.LocalTime();
  record_.ended = IsoTime(now);
  record_.ended_utc = UtcIsoTime(now);
  record_.total = total;
  record_.printer = ctx_.records->last_printer();
  if (record_.printer.empty()) record_.printer = IdentityOf(read_block);
  if (record_.printer.empty()) record_.printer = IdentityOf(working_block);
  if (!SeenAdjustments(*ctx_.records, &record_.adjustments)) {
    record_.adjustments =
        IdentityOf(read_block).empty() ? AdjustmentsOf(working_block) : AdjustmentsOf(read_block);
  }
  record_.settings = settings;
  if (label) {
    auto text = [](std::span<const uint8_t> bytes) {
      return DecodePrinterText(
          bytes.first(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin()));
    };
    record_.machine_no = text(label->machine_no);
    record_.machine_id = text(label->machine_id);
  }
  ctx_.records->Record(record_);
}

void RecordDotWeight(const Context& ctx, std::string_view kind, std::span<const double> weights,
                     double average, double low, double high, bool passed) {
  if (!ctx.records) return;
  DotWeightRecord m;
  m.kind = kind;
  m.weights.assign(weights.begin(), weights.end());
  m.average = average;
  m.low = low;
  m.high = high;
  m.passed = passed;
  const std::tm now = ctx.clock.LocalTime();
  m.time = IsoTime(now);
  m.time_utc = UtcIsoTime(now);
  m.printer = ctx.records->last_printer();
  ctx.records->Record(m);
}

}  // namespace tarvo
