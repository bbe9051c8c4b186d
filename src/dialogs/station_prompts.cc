#include "dialogs/station_prompts.h"

#include <algorithm>

#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/pass_fail_dialog.h"
#include "model/printer_text.h"

namespace tarvo {
namespace {

bool InputIntoLabel(Operator& op, InputIdDialog::Kind kind, std::span<uint8_t> field) {
  InputIdDialog dialog(kind);
  if (op.ShowDialog(dialog) != DialogResult::kOk) return false;
  // A valid entry has exactly the field's length; pad anyway so the record never takes bytes
  // from beyond the text.
  const std::vector<uint8_t> chars =
      EncodePrinterText(dialog.text).value_or(std::vector<uint8_t>{});
  for (size_t i = 0; i < field.size(); ++i) field[i] = i < chars.size() ? chars[i] : 0;
  return true;
}

}  // namespace

int PassFailPrompt(Operator& op, std::string caption) {
  PassFailDialog dialog;
  dialog.caption_text = std::move(caption);
  DialogResult result = op.ShowDialog(dialog);
  return result == DialogResult::kOk && dialog.verdict == 1 ? 1 : 0;
}

int VisualInspection(Operator& op, int kind, std::span<uint8_t> verdicts) {
  if (!InspectionDialog::ValidKind(kind)) return 0;
  InspectionDialog dialog(kind);
  op.ShowDialog(dialog);
  std::copy_n(dialog.verdicts.begin(), std::min(verdicts.size(), dialog.verdicts.size()),
              verdicts.begin());
  // Judged on every row of the dialog, so a short buffer cannot turn a failed row into a pass.
  bool all_pass =
      std::all_of(dialog.verdicts.begin(), dialog.verdicts.end(), [](uint8_t v) { return v != 0; });
  return all_pass ? 1 : 0;
}

bool InputMachineNo(Operator& op, ChartLabel& chart_label) {
  return InputIntoLabel(op, InputIdDialog::Kind::kMachineNo, chart_label.machine_no);
}

bool InputMachineId(Operator& op, ChartLabel& chart_label) {
  return InputIntoLabel(op, InputIdDialog::Kind::kMachineId, chart_label.machine_id);
}

}  // namespace tarvo
