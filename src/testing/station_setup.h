#pragma once

#include <cstdint>

#include "station/station_files.h"

namespace tarvo::testing {

// The station settings the station tests start from: Station 1 set to destination `index` with
// Belt Name "AB1" and PC Name "Z9", Station 2 to destination `index` with Jig No. "07". Its
// includer links the station library.
inline bool SetUpStations(const station::StationFiles& files, uint8_t index = 0) {
  const bool station1 = files.WriteStation1({index, 'A', 'B', '1', 'Z', '9'});
  return files.WriteStation2({index, '0', '7'}) && station1;
}

}  // namespace tarvo::testing
