#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/operator.h"
#include "model/chart_label.h"

namespace tarvo {

// The operator's entries the step runner asks for.

// The pass/fail prompt (203) with `caption`: 1 PASS, 0 FAIL (also Esc or the close box).
int PassFailPrompt(Operator& op, std::string caption);

// The visual inspection of `kind` (0-4, see InspectionDialog). Copies the verdict bytes into
// `verdicts` (as many as fit) and returns 1 when every area was marked Pass, else 0. An unknown
// kind shows nothing and returns 0.
int VisualInspection(Operator& op, int kind, std::span<uint8_t> verdicts);

// "Input Machine No." (188) / "Input Machine ID" (204): on OK the 5 / 13 characters go into
// the machine number / machine ID of the chart label record and the result is true; on Cancel
// the record is unchanged.
bool InputMachineNo(Operator& op, ChartLabel& chart_label);
bool InputMachineId(Operator& op, ChartLabel& chart_label);

}  // namespace tarvo
