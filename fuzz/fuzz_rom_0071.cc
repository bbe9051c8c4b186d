// The conversion of an old "0071" ROM data file: whatever the file and the current image hold,
// the bytes taken from the current image are its bytes, the cleared ones are zero, the firmware
// version is the one given, and converting again gives the same image.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/rom_layout.h"
#include "operations/transfer_0071.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::array<uint8_t, tarvo::kOldRomFileSize> old{};
  tarvo::RomImage current{};
  std::copy_n(data, std::min(size, old.size()), old.begin());
  if (size > old.size())
    std::copy_n(data + old.size(), std::min(size - old.size(), current.size()), current.begin());
  const std::string fw = "0073";

  const tarvo::RomImage image = tarvo::ConvertRomData0071(old, current, fw);
  if (image != tarvo::ConvertRomData0071(old, current, fw)) std::abort();
  for (size_t i = 0x67; i <= 0x6D; ++i)
    if (image[i] != 0) std::abort();
  for (size_t i = 0x70; i <= 0x79; ++i)
    if (image[i] != 0) std::abort();
  if (image[0x7A] != current[0x7A]) std::abort();
  for (size_t i = 0x7C; i <= 0x7F; ++i)
    if (image[i] != current[i]) std::abort();

  // A counter narrows to the nearest float, or to an infinity of its sign beyond float range.
  double d;
  std::memcpy(&d, old.data(), sizeof d);
  const float f = tarvo::NarrowCounter(d);
  if (std::isfinite(d) && std::fabs(d) <= 3.4e38 && !std::isfinite(f)) std::abort();
  if (std::isinf(d) && (!std::isinf(f) || std::signbit(f) != std::signbit(d))) std::abort();
  return 0;
}
