#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/edition.h"
#include "dialogs/dialog_model.h"
#include "model/rom_layout.h"

namespace tarvo {

// "EEPROM Data" (197): every field of the ROM data image that has a label, as an edit box in two
// columns (47 boxes; the library's copy has no "Unplug Acmlt" and no "TCL Condition"). Character
// fields are edited as text, floats as decimal numbers (6 significant digits), all other fields
// as decimal integers. OK refuses a box whose text is no number; the caller then stores the
// texts into its image.
class EepromDataDialog : public DialogModel {
 public:
  struct Field {
    const RomField* field;
    std::string text;  // as entered
  };

  explicit EepromDataDialog(const Edition& edition);

  int id() const override { return 197; }
  std::string caption() const override { return "EEPROM Data"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  // The texts of every field as the image holds it: characters up to the first zero byte,
  // integers sign- or zero-extended by the field's type, floats as their 32-bit value.
  void LoadFrom(std::span<const uint8_t, kRomImageSize> image);
  // Stores every field into `image`: characters cut or zero-padded to the field's size, integers
  // truncated to it, floats as 32-bit. A field whose text is still the one LoadFrom gave it keeps
  // its bytes, so a confirmation without edits changes nothing (not even a float that 6 digits
  // cannot show exactly). Returns false, leaving `image` unchanged, when a number box holds no
  // number.
  bool StoreInto(std::span<uint8_t, kRomImageSize> image) const;

  // The field with this label (exact) or control id, or nullptr.
  Field* Find(std::string_view label);
  Field* FindById(int control_id);

  std::vector<Field> fields;  // in layout order: the first column, then the second

 private:
  std::vector<std::string> loaded_;  // the texts LoadFrom gave, per field
};

}  // namespace tarvo
