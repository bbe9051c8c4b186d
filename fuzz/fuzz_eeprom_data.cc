// The "EEPROM Data" dialog over any image: confirmed without edits it stores the image byte for
// byte; with one box's text replaced by the input's, a store that succeeds loads back to texts
// that store the same image again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/edition.h"
#include "dialogs/eeprom_data_dialog.h"
#include "model/rom_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const tarvo::Edition& edition = (data[0] & 1) ? tarvo::kLibraryEdition : tarvo::kProgramEdition;
  tarvo::RomImage image{};
  std::copy_n(data + 2, std::min(size - 2, image.size()), image.begin());

  tarvo::EepromDataDialog dialog(edition);
  dialog.LoadFrom(image);
  tarvo::RomImage stored = image;
  if (!dialog.StoreInto(stored) || stored != image) std::abort();

  if (dialog.fields.empty() || size <= 2 + image.size()) return 0;
  auto& field = dialog.fields[data[1] % dialog.fields.size()];
  field.text.assign(reinterpret_cast<const char*>(data + 2 + image.size()),
                    size - 2 - image.size());
  tarvo::RomImage edited = image;
  if (!dialog.StoreInto(edited)) {
    if (edited != image) std::abort();  // a refused store leaves the image alone
    return 0;
  }
  tarvo::EepromDataDialog again(edition);
  again.LoadFrom(edited);
  tarvo::RomImage twice = edited;
  if (!again.StoreInto(twice) || twice != edited) std::abort();
  return 0;
}
