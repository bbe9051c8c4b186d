#include "dialogs/measure_result_dialog.h"

#include <cstdio>
#include <utility>

#include "dialogs/field_checks.h"

namespace tarvo {

MeasureResultDialog::MeasureResultDialog(std::string caption, std::string dot_file, double dots)
    : caption_text(std::move(caption)), dot_file(std::move(dot_file)), dots(dots) {}

std::string MeasureResultDialog::Format(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

double MeasureResultDialog::AverageOf(double before, double after, double dots) {
  return (before - after) * 1'000'000'000.0 / dots;
}

std::string MeasureResultDialog::Judge(double average, double minimum, double maximum) {
  return minimum <= average && average <= maximum ? "PASS" : "FAIL";
}

void MeasureResultDialog::Load() {
  if (keep_boxes_) {
    keep_boxes_ = false;
    return;
  }
  auto box = [](int id, const char* label, double value, const char* unit) {
    Control c = Edit(id, ControlKind::kDecimal, label, Format(value));
    c.unit = unit;
    return c;
  };
  Control max = box(kMaximumId, "MAX THresold", maximum, "ng");
  max.enabled = false;
  Control min = box(kMinimumId, "Min THresold", minimum, "ng");
  min.enabled = false;
  controls_ = {box(kBeforeId, "Before Weight", before_weight, "g"),
               box(kAfterId, "After Weight", after_weight, "g"),
               std::move(max),
               std::move(min),
               box(kAverageId, "Avarage", average, "ng"),
               Edit(kResultId, ControlKind::kText, "Test Result", test_result),
               Button(kPrintFileId, "Print File"),
               Button(kMeasureId, "Measure"),
               Button(kResetId, "Reset"),
               Button(kExitId, "EXIT")};
}

std::optional<Refusal> MeasureResultDialog::CopyBoxes() {
  test_result = TextOf(kResultId);
  const std::pair<int, double*> numbers[] = {{kAverageId, &average},
                                             {kMaximumId, &maximum},
                                             {kMinimumId, &minimum},
                                             {kAfterId, &after_weight},
                                             {kBeforeId, &before_weight}};
  for (const auto& [box, member] : numbers) {
    DecimalEntry entry = ReadDecimalBox(*this, box);
    if (entry.refusal) return entry.refusal;
    *member = *entry.value;
  }
  return std::nullopt;
}

PressOutcome MeasureResultDialog::Press(int button_id) {
  switch (button_id) {
    case kExitId: {
      if (auto refusal = CopyBoxes()) return PressOutcome::Refuse(*refusal);
      return PressOutcome::Close(DialogResult::kOk);
    }
    case kMeasureId:
    case kResetId: {
      std::optional<Refusal> refusal = CopyBoxes();
      if (button_id == kMeasureId) {
        average = AverageOf(before_weight, after_weight, dots);
        test_result = Judge(average, minimum, maximum);
        measured_.push_back({before_weight, after_weight, average, minimum, maximum, test_result});
      } else {
        before_weight = 0;
        after_weight = 0;
        average = 0;
        test_result.clear();
      }
      Load();
      if (refusal) return PressOutcome::Refuse(*refusal);
      return {};
    }
    case kPrintFileId:
      print_requested = true;
      keep_boxes_ = true;
      return PressOutcome::Close(DialogResult::kCancel);
    default:
      return PressOutcome::Close(DialogResult::kCancel);
  }
}

}  // namespace tarvo
