#include "dialogs/layout_rules.h"

namespace tarvo {

bool IsEdit(ControlKind kind) {
  return kind == ControlKind::kText || kind == ControlKind::kInteger ||
         kind == ControlKind::kDecimal;
}

bool RadiosInRow(const Control& c) {
  if (c.options.size() > 7) return false;
  for (const auto& o : c.options) {
    if (o.size() > 8) return false;
  }
  return true;
}

bool TakesEntry(const Control& c) {
  if (!c.enabled) return false;
  if (IsEdit(c.kind)) return !c.read_only;
  return c.kind == ControlKind::kList || c.kind == ControlKind::kRadio;
}

size_t FirstFocus(const std::vector<Control>& controls) {
  for (size_t i = 0; i < controls.size(); ++i) {
    if (TakesEntry(controls[i])) return i;
  }
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind == ControlKind::kButton && controls[i].enabled) return i;
  }
  return controls.size();
}

}  // namespace tarvo
