#include "dialogs/input_id_dialog.h"

#include <algorithm>

#include "dialogs/field_checks.h"

namespace tarvo {
namespace {

struct IdTexts {
  int dialog_id;
  const char* caption;
  const char* label;
  const char* empty;
  const char* length;
  const char* wrong;
};

const IdTexts& TextsOf(InputIdDialog::Kind kind) {
  static const IdTexts kHead{179,
                             "Input Head ID",
                             "Head ID :",
                             "Head ID Can't be NULL !!",
                             "Length of Head ID must be 6 !!",
                             "Head ID Error !!"};
  static const IdTexts kMachineNo{188,
                                  "Input Machine No.",
                                  "Machine No. :",
                                  "Machine No. Can't be NULL !!",
                                  "Length of Machine No. must be 5 !!",
                                  "Machine No. Error!!"};
  static const IdTexts kMachineId{204,
                                  "Input Machine ID",
                                  "Machine ID :",
                                  "Machine ID Can't be NULL !!",
                                  "Length of Machine ID must be 13 !!",
                                  "Machine ID Error!!"};
  switch (kind) {
    case InputIdDialog::Kind::kHeadId:
      return kHead;
    case InputIdDialog::Kind::kMachineNo:
      return kMachineNo;
    case InputIdDialog::Kind::kMachineId:
      break;
  }
  return kMachineId;
}

}  // namespace

int InputIdDialog::id() const {
  return TextsOf(kind_).dialog_id;
}
std::string InputIdDialog::caption() const {
  return TextsOf(kind_).caption;
}
int InputIdDialog::edit_id() const {
  return kind_ == Kind::kMachineId ? 1182 : 1185;
}

size_t InputIdDialog::length() const {
  switch (kind_) {
    case Kind::kHeadId:
      return 6;
    case Kind::kMachineNo:
      return 5;
    case Kind::kMachineId:
      break;
  }
  return 13;
}

void InputIdDialog::Load() {
  controls_ = {Edit(edit_id(), ControlKind::kText, TextsOf(kind_).label, text),
               Button(kOkId, "OK")};
}

PressOutcome InputIdDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  const IdTexts& texts = TextsOf(kind_);
  // The member changes only with a valid entry, so a Cancel after a refusal hands back the preset.
  std::string entry = ToCapitals(TextOf(edit_id()));
  if (entry.empty()) return PressOutcome::Refuse({texts.empty, "Error", edit_id(), false});
  if (entry.size() != length())
    return PressOutcome::Refuse({texts.length, "Error", edit_id(), true});
  bool valid;
  if (kind_ == Kind::kMachineId) {
    valid = IsLetter(entry[0]) && std::all_of(entry.begin() + 1, entry.end(), IsDigit);
  } else {
    valid = std::all_of(entry.begin(), entry.end(), IsAlphanumeric);
  }
  if (!valid) return PressOutcome::Refuse({texts.wrong, "Error", edit_id(), true});
  text = std::move(entry);
  Load();
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
