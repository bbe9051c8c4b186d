#include "operations/library_version.h"

#include <algorithm>

namespace tarvo {

void SetDLLVersion(DeviceState& state, std::span<const char> chars) {
  const auto text = chars.first(std::min<size_t>(chars.size(), 4));
  state.library_version.assign(text.begin(), std::find(text.begin(), text.end(), '\0'));
}

}  // namespace tarvo
