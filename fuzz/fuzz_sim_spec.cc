// The simulated printer's option text: whatever parses is formatted to a text that parses to the
// same printer, and formatting that gives the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/sim_spec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvo::sim;
  std::string error;
  auto spec = ParseSimSpec(std::string_view(reinterpret_cast<const char*>(data), size), &error);
  if (!spec) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::string text = FormatSimSpec(*spec);
  auto again = ParseSimSpec(text, &error);
  if (!again || !(*again == *spec) || FormatSimSpec(*again) != text) std::abort();
  return 0;
}
