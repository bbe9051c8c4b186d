#pragma once

#include "base/context.h"
#include "base/outcome.h"
#include "station/station_files.h"

namespace tarvo::station {

// The "Station 1" and "Station 2" buttons of the settings page: the Station1 (185) or Station2
// (186) dialog with the current content of "1.data" or "2.data", shown through the operator.
// Save writes the whole file at once; Cancel writes nothing. A file that cannot be written is
// told to the operator (caption "Save") and keeps its old content.
Outcome EditStation1Settings(const Context& ctx, const StationFiles& files);
Outcome EditStation2Settings(const Context& ctx, const StationFiles& files);

// The "Set Initial Bi-d Value" and "Set Ink Syetem Init Value" buttons: the SetInitOffset (211)
// or InkSystemInit (214) editor with the printer option settings as the store holds them now,
// shown through the operator. "APPLY" / "OK" stores every value of the group in one go; "EXIT" /
// "Cancel" stores nothing. Neither touches the printer. A store that cannot be written is told to
// the operator (caption "Save") and keeps its old values.
Outcome EditOffsetSettings(const Context& ctx);
Outcome EditInkSettings(const Context& ctx);

}  // namespace tarvo::station
