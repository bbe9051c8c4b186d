// The simulated printer's state file: any text that loads saves to a text that loads to the same
// state, and saving that gives the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/sim_state.h"

namespace {

bool Same(const tarvo::sim::SimState& a, const tarvo::sim::SimState& b) {
  return a.eeprom == b.eeprom && a.firmware == b.firmware && a.temperature == b.temperature &&
         a.powered == b.powered && a.last_tof == b.last_tof && a.last_bid == b.last_bid &&
         a.printouts == b.printouts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvo::sim;
  auto loaded = StateFromJson(std::string_view(reinterpret_cast<const char*>(data), size), nullptr);
  if (!loaded) return 0;
  const std::string saved = StateToJson(*loaded);
  auto again = StateFromJson(saved, nullptr);
  if (!again || !Same(*loaded, *again) || StateToJson(*again) != saved) std::abort();
  return 0;
}
