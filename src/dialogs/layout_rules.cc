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

}  // namespace tarvo
