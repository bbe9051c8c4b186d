#include "dialogs/eeprom_data_dialog.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "dialogs/field_checks.h"
#include "model/printer_text.h"

namespace tarvo {
namespace {

// The ink system values, in the dialog where the edition edits them.
constexpr int kUnplugAcmltId = 1306;
constexpr int kTclConditionId = 1307;

bool InFirstColumn(const RomField& f) {
  return f.control_id <= 1203 || f.control_id == 1306;
}

ControlKind KindOf(const RomField& f) {
  switch (f.type) {
    case FieldType::kChars:
      return ControlKind::kText;
    case FieldType::kFloat:
      return ControlKind::kDecimal;
    default:
      return ControlKind::kInteger;
  }
}

// The field holds a 32-bit float: a larger number would become infinite.
bool FitsFloat(double value) {
  return std::fabs(value) <= std::numeric_limits<float>::max();
}

std::string FloatText(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
  return buffer;
}

std::string TextOfField(std::span<const uint8_t> image, const RomField& f) {
  switch (f.type) {
    case FieldType::kChars: {
      std::string chars = GetChars(image, f);
      return DecodePrinterText(chars.substr(0, chars.find('\0')));
    }
    case FieldType::kFloat:
      return FloatText(GetFloat(image, f));
    default:
      return std::to_string(GetInt(image, f));
  }
}

}  // namespace

EepromDataDialog::EepromDataDialog(const Edition& edition) {
  for (int column = 0; column < 2; ++column) {
    for (const RomField& f : RomFields()) {
      if (f.control_id == 0 || f.label.empty()) continue;
      if ((column == 0) != InFirstColumn(f)) continue;
      if (!edition.eeprom_dialog_edits_ink_system &&
          (f.control_id == kUnplugAcmltId || f.control_id == kTclConditionId)) {
        continue;
      }
      fields.push_back({&f, KindOf(f) == ControlKind::kText ? "" : "0"});
    }
  }
}

void EepromDataDialog::Load() {
  controls_.clear();
  for (const Field& f : fields) {
    Control box = Edit(f.field->control_id, KindOf(*f.field), std::string(f.field->label), f.text);
    box.column = InFirstColumn(*f.field) ? 0 : 1;
    controls_.push_back(std::move(box));
  }
  controls_.push_back(Button(kOkId, "OK"));
}

PressOutcome EepromDataDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  // Every box is checked before any member changes, in the order of the layout. A box still
  // showing what the image held passes as it is (a float the image holds as NaN, say).
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    int id = f.field->control_id;
    if (i < loaded_.size() && TextOf(id) == loaded_[i]) continue;
    ControlKind kind = KindOf(*f.field);
    if (kind == ControlKind::kInteger) {
      IntegerEntry entry = ReadIntegerBox(*this, id);
      if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
    } else if (kind == ControlKind::kDecimal) {
      DecimalEntry entry = ReadDecimalBox(*this, id);
      if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
      if (!FitsFloat(*entry.value)) {
        return PressOutcome::Refuse({std::string(kEnterNumber), StandardCaption(*this), id, true});
      }
    }
  }
  for (Field& f : fields) f.text = TextOf(f.field->control_id);
  return PressOutcome::Close(DialogResult::kOk);
}

void EepromDataDialog::LoadFrom(std::span<const uint8_t, kRomImageSize> image) {
  loaded_.clear();
  for (Field& f : fields) {
    f.text = TextOfField(image, *f.field);
    loaded_.push_back(f.text);
  }
}

bool EepromDataDialog::StoreInto(std::span<uint8_t, kRomImageSize> image) const {
  RomImage work;
  std::copy(image.begin(), image.end(), work.begin());
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    if (i < loaded_.size() && f.text == loaded_[i]) continue;
    switch (f.field->type) {
      case FieldType::kChars: {
        // One byte per character, so a cut never falls inside one.
        std::optional<std::vector<uint8_t>> chars = EncodePrinterText(f.text);
        if (!chars) return false;
        SetChars(work, *f.field,
                 std::string_view(reinterpret_cast<const char*>(chars->data()), chars->size()));
        break;
      }
      case FieldType::kFloat: {
        std::optional<double> value = ParseDecimal(f.text);
        if (!value || !FitsFloat(*value)) return false;
        SetFloat(work, *f.field, static_cast<float>(*value));
        break;
      }
      default: {
        std::optional<int> value = ParseInteger(f.text);
        if (!value) return false;
        SetInt(work, *f.field, *value);
        break;
      }
    }
  }
  std::copy(work.begin(), work.end(), image.begin());
  return true;
}

EepromDataDialog::Field* EepromDataDialog::Find(std::string_view label) {
  for (Field& f : fields) {
    if (f.field->label == label) return &f;
  }
  return nullptr;
}

EepromDataDialog::Field* EepromDataDialog::FindById(int control_id) {
  for (Field& f : fields) {
    if (f.field->control_id == control_id) return &f;
  }
  return nullptr;
}

}  // namespace tarvo
