#include "model/destinations.h"

namespace tarvo {
namespace {

constexpr Destination kDestinations[kDestinationCount] = {
    {"001", "001 ; QAI ; TR-460", 0, 2},
    {"012", "012 ; QAI Latin(M); 120V ; TR-420", 1, 2},
    {"021", "021 ; QTT Taiwan; 110V; TR-420", 1, 1},
    {"031", "031 ; EURO (WEST) ; TR-460", 0, 1},
    {"032", "032 ; QUL 240V ; TR-460", 0, 1},
    {"TBD", "TBD ; EURO (Export2) ; TR-460", 0, 1},
    {"041", "041 ; QAI Latin(A); 220V ; TR-420", 1, 2},
    {"042", "042 ; EURO (Export1) ; TR-420", 1, 1},
    {"043", "043 ; QAL Australia; 220V; TR-420", 1, 1},
    {"044", "044 ; QSP Singapore; 220V; TR-420", 1, 1},
    {"045", "045 ; QSP Inter ; TR-420", 1, 1},
    {"046", "046 ; QHK Hong Kong; 220V; TR-420", 1, 1},
    {"051", "051 ; QCC China; 220V; TBD", 2, 1},
    {"061", "061 ; QKL Korea; 220V; TR-420", 1, 1},
};

}  // namespace

std::span<const Destination> Destinations() {
  return kDestinations;
}

const Destination* FindDestination(int index) {
  if (index < 0 || index >= kDestinationCount) return nullptr;
  return &kDestinations[index];
}

}  // namespace tarvo
