#include "dialogs/dialog_model.h"

namespace tarvo {

Control* DialogModel::control(int id) {
  for (auto& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace tarvo
