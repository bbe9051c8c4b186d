#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/context.h"
#include "base/record_sink.h"
#include "model/chart_label.h"

namespace tarvo {

// Puts one station step on record, for the step runner. Made when the step starts (before
// HandleOpen), finished in the step's epilogue; a step whose recording is never finished is not
// recorded. Does nothing when the context has no record sink.
//
//   StepRecording rec(ctx, station, position, list_text, results);
//   ... run the step (SetSlot may call rec.SlotSet(slot, name, result)) ...
//   rec.Finish(results, slot_names, total, working_block, read_block, settings);
//
// The printer's identity is the one its EEPROM showed during the step (every Station 2 step
// reads it; so do SetHeadID and the adjustments), else that of the read block, else that of the
// working block.
class StepRecording {
 public:
  // `results`: the station's result table as the step starts (one byte per slot, 2 = not run).
  StepRecording(const Context& ctx, int station, int position, std::string_view text,
                std::span<const uint8_t> results);

  // A slot the step set (also when set to the result it had).
  void SlotSet(int slot, std::string_view name, int result);

  // `results`: the table after the step; a slot that changed and was not named by SlotSet is
  // recorded too, with its name from `slot_names` (by slot number). `total`: 1 pass, 0 fail,
  // 2 not finished. `label`: the chart label record, for its Machine No. and Machine ID.
  void Finish(std::span<const uint8_t> results, std::span<const std::string_view> slot_names,
              int total, std::span<const uint8_t> working_block,
              std::span<const uint8_t> read_block, const StationSettingsRecord& settings,
              const ChartLabel* label = nullptr);

 private:
  const Context& ctx_;
  StepRecord record_;
  std::vector<uint8_t> results_before_;
  bool finished_ = false;
};

// Puts one dot-weight measurement on record, for the printer last identified.
void RecordDotWeight(const Context& ctx, std::string_view kind, std::span<const double> weights,
                     double average, double low, double high, bool passed);

}  // namespace tarvo
