#include "dialogs/station_prompts.h"

#include <algorithm>

#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/pass_fail_dialog.h"

namespace tarvo {
namespace {

bool InputIntoLabel(Operator& op, InputIdDialog::Kind kind, std::span<uint8_t, 24> chart_label,
                    size_t offset) {
  InputIdDialog dialog(kind);
  if (op.ShowDialog(dialog) != DialogResult::kOk) return false;
  // A valid entry has exactly the field's length; pad anyway so the record never takes bytes
  // from beyond the text.
  for (size_t i = 0; i < dialog.length(); ++i) {
    chart_label[offset + i] = i < dialog.text.size() ? static_cast<uint8_t>(dialog.text[i]) : 0;
  }
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

bool InputMachineNo(Operator& op, std::span<uint8_t, 24> chart_label) {
  return InputIntoLabel(op, InputIdDialog::Kind::kMachineNo, chart_label, 2);
}

bool InputMachineId(Operator& op, std::span<uint8_t, 24> chart_label) {
  return InputIntoLabel(op, InputIdDialog::Kind::kMachineId, chart_label, 7);
}

}  // namespace tarvo
