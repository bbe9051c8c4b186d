#include "dialogs/dialog_model.h"

#include <utility>

namespace tarvo {

Control* DialogModel::control(int id) {
  for (auto& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const Control* DialogModel::control(int id) const {
  for (const auto& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

Control DialogModel::Edit(int id, ControlKind kind, std::string label, std::string text) {
  Control c;
  c.id = id;
  c.kind = kind;
  c.label = std::move(label);
  c.text = std::move(text);
  return c;
}

Control DialogModel::Radios(int first_id, std::string label, std::vector<std::string> options,
                            int selected) {
  Control c;
  c.id = first_id;
  c.kind = ControlKind::kRadio;
  c.label = std::move(label);
  for (size_t i = 0; i < options.size(); ++i)
    c.option_ids.push_back(first_id + static_cast<int>(i));
  c.options = std::move(options);
  c.selected = selected;
  return c;
}

Control DialogModel::List(int id, std::string label, std::vector<std::string> options,
                          int selected) {
  Control c;
  c.id = id;
  c.kind = ControlKind::kList;
  c.label = std::move(label);
  c.options = std::move(options);
  c.selected = selected;
  return c;
}

Control DialogModel::Static(int id, std::string text) {
  Control c;
  c.id = id;
  c.kind = ControlKind::kLabel;
  c.label = std::move(text);
  return c;
}

Control DialogModel::Button(int id, std::string text) {
  Control c;
  c.id = id;
  c.kind = ControlKind::kButton;
  c.label = std::move(text);
  return c;
}

int DialogModel::Selected(int id) const {
  const Control* c = control(id);
  return c ? c->selected : -1;
}

std::string DialogModel::TextOf(int id) const {
  const Control* c = control(id);
  return c ? c->text : std::string();
}

}  // namespace tarvo
