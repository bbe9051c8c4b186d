#include "win32ui/dialog_layout.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "dialogs/layout_rules.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32ui {
namespace {

constexpr int kMargin = 7;
constexpr int kRowGap = 4;
constexpr int kColumnGap = 14;
constexpr int kLabelGap = 4;
constexpr int kEditHeight = 12;
constexpr int kLineHeight = 9;
constexpr int kRadioHeight = 10;
constexpr int kRadioBox = 14;  // the radio circle and its gap before the text
constexpr int kGroupTop = 11;
constexpr int kGroupPad = 6;
constexpr int kButtonHeight = 14;
constexpr int kButtonWidth = 50;
constexpr int kButtonGap = 4;
constexpr int kStaticMax = 240;
constexpr int kUnitGap = 3;

int UnitWidth(const Control& c) {
  return c.unit.empty() ? 0 : kUnitGap + TextWidth(c.unit);
}

int Indent(const Control& c) {
  return c.group.empty() ? 0 : kGroupPad;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

int StaticWidth(const std::string& text) {
  int width = 0;
  for (const auto& line : Lines(text)) width = std::max(width, TextWidth(line));
  return std::min(width, kStaticMax);
}

int StaticHeight(const std::string& text) {
  int lines = 0;
  for (const auto& line : Lines(text)) lines += 1 + TextWidth(line) / (kStaticMax + 1);
  return lines * kLineHeight;
}

int RadioWidth(const std::string& option) {
  return kRadioBox + TextWidth(option);
}

int GroupWidth(const Control& c) {
  int inner = 0;
  if (RadiosInRow(c)) {
    for (const auto& o : c.options) inner += RadioWidth(o) + kButtonGap;
  } else {
    for (const auto& o : c.options) inner = std::max(inner, RadioWidth(o));
  }
  return std::max(inner, TextWidth(c.label) + 8) + 2 * kGroupPad;
}

int GroupHeight(const Control& c) {
  const int rows = RadiosInRow(c) ? 1 : static_cast<int>(c.options.size());
  return kGroupTop + rows * (kRadioHeight + 2) + 3;
}

int ButtonWidth(const Control& c) {
  return std::max(kButtonWidth, TextWidth(c.label) + 12);
}

TemplateItem Item(ItemClass cls, uint32_t style, int x, int y, int cx, int cy, int id,
                  const std::string& text) {
  TemplateItem item;
  item.item_class = cls;
  item.style = style;
  item.x = x;
  item.y = y;
  item.cx = cx;
  item.cy = cy;
  item.id = static_cast<uint16_t>(id);
  item.text = Wide(text);
  return item;
}

struct Column {
  int label_width = 0;
  int width = 0;
  int unit_width = 0;        // the widest unit: every box of the column ends left of it
  std::vector<size_t> rows;  // indexes into the controls
};

}  // namespace

int ItemId(const Control& control, size_t index) {
  return control.id > 0 ? control.id : LabelId(index);
}

int TextWidth(std::string_view utf8) {
  int width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = byte;
    size_t len = 1;
    if (byte >= 0xF0) {
      len = 4;
    } else if (byte >= 0xE0) {
      len = 3;
    } else if (byte >= 0xC0) {
      len = 2;
    }
    if (len > 1) {
      cp = byte & (0x3F >> (len - 1));
      for (size_t k = 1; k < len && i + k < utf8.size(); ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
      }
    }
    i += len;
    if (cp >= 0x1100) {
      width += 10;  // a wide (CJK) character
    } else if (cp == 'i' || cp == 'l' || cp == 'I' || cp == '.' || cp == ' ' || cp == '!' ||
               cp == ':' || cp == '/' || cp == '(' || cp == ')' || cp == '-') {
      width += 3;
    } else if ((cp >= 'A' && cp <= 'Z') || cp == 'm' || cp == 'w' || cp == 'M' || cp == 'W') {
      width += 6;
    } else {
      width += 5;
    }
  }
  return width + 2;
}

DialogSpec LayOut(const DialogModel& model) {
  const auto& controls = model.controls();
  std::map<int, Column> columns;
  std::vector<size_t> buttons;
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind == ControlKind::kButton) {
      buttons.push_back(i);
    } else {
      columns[controls[i].column].rows.push_back(i);
    }
  }
  if (columns.empty()) columns[0];
  const int field_width = columns.size() > 1 ? 64 : 90;

  for (auto& [number, column] : columns) {
    for (size_t i : column.rows) {
      const Control& c = controls[i];
      if ((IsEdit(c.kind) || c.kind == ControlKind::kList) && !c.label.empty()) {
        column.label_width = std::max(column.label_width, Indent(c) + TextWidth(c.label));
      }
    }
    for (size_t i : column.rows) {
      column.unit_width = std::max(column.unit_width, UnitWidth(controls[i]));
    }
    int width =
        column.label_width + (column.label_width ? kLabelGap : 0) + field_width + column.unit_width;
    for (size_t i : column.rows) {
      const Control& c = controls[i];
      if (c.kind == ControlKind::kRadio) width = std::max(width, GroupWidth(c));
      if (c.kind == ControlKind::kLabel) width = std::max(width, StaticWidth(c.label));
    }
    column.width = width;
  }

  DialogSpec spec;
  spec.caption = Wide(model.caption());
  spec.style = DS_MODALFRAME | DS_CENTER | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  int x = kMargin;
  int bottom = kMargin;
  for (auto& [number, column] : columns) {
    int y = kMargin;
    // The group box standing open, as an index into spec.items, and where it began.
    size_t open_group = 0;
    const std::string* group = nullptr;
    int group_top = 0;
    auto close_group = [&] {
      if (!group) return;
      spec.items[open_group].cy = y - group_top + 2;
      y += 2 + kRowGap;
      group = nullptr;
    };
    for (size_t i : column.rows) {
      const Control& c = controls[i];
      const int id = ItemId(c, i);
      if (group && c.group != *group) close_group();
      if (!group && !c.group.empty()) {
        open_group = spec.items.size();
        group = &c.group;
        group_top = y;
        spec.items.push_back(Item(ItemClass::kButton, BS_GROUPBOX | WS_GROUP, x, y, column.width, 0,
                                  GroupId(i), c.group));
        y += kGroupTop;
      }
      const int indent = Indent(c);
      switch (c.kind) {
        case ControlKind::kText:
        case ControlKind::kInteger:
        case ControlKind::kDecimal:
        case ControlKind::kList: {
          int field_x = x + indent;
          int field_cx = column.width - 2 * indent - column.unit_width;
          if (!c.label.empty()) {
            spec.items.push_back(Item(ItemClass::kStatic, SS_LEFT | WS_GROUP, x + indent, y + 2,
                                      column.label_width - indent, kLineHeight, LabelId(i),
                                      c.label));
            field_x = x + column.label_width + kLabelGap;
            field_cx = column.width - column.label_width - kLabelGap - indent - column.unit_width;
          }
          if (c.kind == ControlKind::kList) {
            spec.items.push_back(Item(ItemClass::kComboBox,
                                      CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                                      field_x, y, field_cx, 120, id, ""));
          } else {
            spec.items.push_back(Item(ItemClass::kEdit,
                                      ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, field_x,
                                      y, field_cx, kEditHeight, id, c.text));
          }
          if (!c.unit.empty()) {
            spec.items.push_back(Item(ItemClass::kStatic, SS_LEFT | WS_GROUP,
                                      field_x + field_cx + kUnitGap, y + 2, TextWidth(c.unit),
                                      kLineHeight, UnitId(i), c.unit));
          }
          y += kEditHeight + kRowGap;
          break;
        }
        case ControlKind::kRadio: {
          const int height = GroupHeight(c);
          spec.items.push_back(Item(ItemClass::kButton, BS_GROUPBOX | WS_GROUP, x + indent, y,
                                    column.width - 2 * indent, height, LabelId(i), c.label));
          int rx = x + indent + kGroupPad;
          int ry = y + kGroupTop;
          for (size_t k = 0; k < c.options.size(); ++k) {
            const int option_id = k < c.option_ids.size() ? c.option_ids[k] : c.id + int(k);
            const int cx = RadioWidth(c.options[k]);
            uint32_t style = BS_AUTORADIOBUTTON;
            if (k == 0) style |= WS_GROUP | WS_TABSTOP;
            spec.items.push_back(
                Item(ItemClass::kButton, style, rx, ry, cx, kRadioHeight, option_id, c.options[k]));
            if (RadiosInRow(c)) {
              rx += cx + kButtonGap;
            } else {
              ry += kRadioHeight + 2;
            }
          }
          y += height + kRowGap;
          break;
        }
        case ControlKind::kLabel: {
          const int height = StaticHeight(c.label);
          spec.items.push_back(Item(ItemClass::kStatic, SS_CENTER | WS_GROUP, x + indent, y,
                                    column.width - 2 * indent, height, id, c.label));
          y += height + kRowGap;
          break;
        }
        case ControlKind::kButton:
          break;
      }
    }
    close_group();
    bottom = std::max(bottom, y);
    x += column.width + kColumnGap;
  }
  int width = x - kColumnGap + kMargin;

  int buttons_width = 0;
  for (size_t i : buttons) buttons_width += ButtonWidth(controls[i]) + kButtonGap;
  if (!buttons.empty()) buttons_width -= kButtonGap;
  width = std::max(width, buttons_width + 2 * kMargin);
  int bx = width - kMargin - buttons_width;
  const int by = bottom + 3;
  for (size_t i : buttons) {
    const Control& c = controls[i];
    const uint32_t style =
        (c.id == model.default_button() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_GROUP;
    const int cx = ButtonWidth(c);
    spec.items.push_back(Item(ItemClass::kButton, style, bx, by, cx, kButtonHeight, c.id, c.label));
    bx += cx + kButtonGap;
  }
  spec.cx = width;
  spec.cy = by + (buttons.empty() ? 0 : kButtonHeight) + kMargin;
  return spec;
}

}  // namespace tarvo::win32ui
