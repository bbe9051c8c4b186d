// Operator answer lines against every dialog: whatever the lines say, a dialog keeps its
// controls (same ids, same kinds), every selection stays within its options, a press that refuses
// an entry names an edit box the dialog has, and the line reader never lets a dialog close with a
// result it does not have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/edition.h"
#include "dialogs/charge_dialog.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/motor_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/pass_fail_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "dialogs/printer_option_dialogs.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "operators/answer_line.h"

namespace {

using tarvo::Control;
using tarvo::ControlKind;
using tarvo::DialogModel;

std::vector<std::function<std::unique_ptr<DialogModel>()>> Dialogs() {
  using namespace tarvo;
  return {
      [] { return std::make_unique<InputIdDialog>(InputIdDialog::Kind::kHeadId); },
      [] { return std::make_unique<InputIdDialog>(InputIdDialog::Kind::kMachineNo); },
      [] { return std::make_unique<InputIdDialog>(InputIdDialog::Kind::kMachineId); },
      [] { return std::make_unique<InspectionDialog>(0); },
      [] { return std::make_unique<InspectionDialog>(1); },
      [] { return std::make_unique<EepromDataDialog>(kProgramEdition); },
      [] { return std::make_unique<EepromDataDialog>(kLibraryEdition); },
      [] { return std::make_unique<DisMessageDialog>(kProgramEdition); },
      [] { return std::make_unique<ChargeDialog>(); },
      [] { return std::make_unique<FwVersionDialog>(); },
      [] { return std::make_unique<MotorDialog>(); },
      [] { return std::make_unique<MotorMoveDialog>(); },
      [] { return std::make_unique<PassFailDialog>(); },
      [] { return std::make_unique<PowerOffDialog>(); },
      [] { return std::make_unique<TofAdjustDialog>(); },
      [] { return std::make_unique<ValueEntryDialog>(); },
      [] { return std::make_unique<SetInitOffsetDialog>(); },
      [] { return std::make_unique<InkSystemInitDialog>(); },
      [] {
        return std::make_unique<tarvo::MeasureResultDialog>("Mono Measure", "KDot.prn", 33'708'960);
      },
  };
}

struct Shape {
  int id;
  ControlKind kind;
  size_t options;
};

std::vector<Shape> ShapeOf(const DialogModel& d) {
  std::vector<Shape> s;
  for (const Control& c : d.controls()) s.push_back({c.id, c.kind, c.options.size()});
  return s;
}

void Check(const DialogModel& d, const std::vector<Shape>& shape) {
  const auto& controls = d.controls();
  if (controls.size() != shape.size()) std::abort();
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = controls[i];
    if (c.id != shape[i].id || c.kind != shape[i].kind) std::abort();
    if ((c.kind == ControlKind::kRadio || c.kind == ControlKind::kList) &&
        (c.selected < -1 || c.selected >= static_cast<int>(c.options.size())))
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto dialogs = Dialogs();
  if (size == 0) return 0;
  auto dialog = dialogs[data[0] % dialogs.size()]();
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  dialog->Load();
  const std::vector<Shape> shape = ShapeOf(*dialog);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const tarvo::DialogStep step = tarvo::ApplyDialogLine(*dialog, line);
    Check(*dialog, shape);
    if (step.kind == tarvo::DialogStep::Kind::kMismatch) {
      if (step.problem.empty()) std::abort();  // a line that does not fit says why
      continue;
    }
    if (step.kind != tarvo::DialogStep::Kind::kPress) continue;
    const tarvo::PressOutcome out = dialog->Press(step.button_id);
    if (out.refusal && dialog->control(out.refusal->focus_id) == nullptr &&
        out.refusal->focus_id != 0)
      std::abort();
    if (out.closed) break;
    Check(*dialog, shape);
  }
  return 0;
}
