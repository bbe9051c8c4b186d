#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"
#include "model/rom_summary.h"
#include "model/station_data.h"

// The device operations as every front end calls them: tarvo-cli's commands, the library's
// exports, the station runner and the pages. One entry point per operation, each taking the
// context, an open link and the station's run-time data, plus the operation's own arguments, and
// returning how it went; what an operation reads goes into the destination passed. The
// operations tell the operator themselves; a front end only turns the outcome into what it owes
// (a result code, an exit status, a slot on a page).
namespace tarvo::catalogue {

// ---- one-command operations
Outcome ReadFWVersion(const Context& ctx, PrinterLink& link, StationData& station,
                      std::string& version);
Outcome ReadRamFWPtr(const Context& ctx, PrinterLink& link, StationData& station, uint32_t& value);
// `temperature` keeps -1 when it could not be read.
Outcome ReadTemperatureBegin(const Context& ctx, PrinterLink& link, StationData& station,
                             int& temperature);
Outcome PowerOff(const Context& ctx, PrinterLink& link, StationData& station,
                 uint8_t shipment_flag);

// ---- the head data block: ReadData fills the read block
Outcome ReadData(const Context& ctx, PrinterLink& link, StationData& station);
// On the working block as each edition keeps it (see SetHeadIDOnStation).
Outcome SetHeadID(const Context& ctx, PrinterLink& link, StationData& station);
Outcome SetInkSystemValue(const Context& ctx, PrinterLink& link, StationData& station);

// ---- head maintenance; the chart label record counts the cleanings
Outcome NozzleClean(const Context& ctx, PrinterLink& link, StationData& station, int mode);
Outcome Lubrication(const Context& ctx, PrinterLink& link, StationData& station);
Outcome InkCharge(const Context& ctx, PrinterLink& link, StationData& station);
Outcome InkDisCharge(const Context& ctx, PrinterLink& link, StationData& station, int finishing);
Outcome InkDisChargeNoPowerOff(const Context& ctx, PrinterLink& link, StationData& station,
                               int finishing);

// ---- alignment on the working and read blocks
Outcome TOF(const Context& ctx, PrinterLink& link, StationData& station);
Outcome BiAdjust(const Context& ctx, PrinterLink& link, StationData& station, int mode);

// ---- charts and files sent as they are
Outcome PrintChart(const Context& ctx, PrinterLink& link, StationData& station,
                   const HeadBlock& head, uint32_t chart);
Outcome SendPrintFile(const Context& ctx, PrinterLink& link, StationData& station,
                      const std::string& path);
Outcome MELoadFilePtr(const Context& ctx, PrinterLink& link, StationData& station,
                      std::span<const char> chars);
Outcome UpdateFW(const Context& ctx, PrinterLink& link, StationData& station);
Outcome UpdateShippingFW(const Context& ctx, PrinterLink& link, StationData& station, int type);

// ---- the ROM data image; the current image is the station's
Outcome DumpData(const Context& ctx, PrinterLink& link, StationData& station, int mode,
                 bool* written = nullptr);
Outcome SetInitialValue(const Context& ctx, PrinterLink& link, StationData& station,
                        bool* written = nullptr);
Outcome DumpTransferROMData(const Context& ctx, PrinterLink& link, StationData& station,
                            std::span<uint8_t, kLibrarySummarySize> record);
// The image as the printer holds it, FwVersion stamped with the running firmware's.
Outcome ReadRomImage(const Context& ctx, PrinterLink& link, StationData& station, RomImage& image);
Outcome LoadFile(const Context& ctx, PrinterLink& link, StationData& station);
Outcome SaveFile(const Context& ctx, PrinterLink& link, StationData& station);
Outcome ResetAll(const Context& ctx, PrinterLink& link, StationData& station);
Outcome SetCharge(const Context& ctx, PrinterLink& link, StationData& station);
Outcome ReadFW(const Context& ctx, PrinterLink& link, StationData& station, std::string& version);
Outcome SetInitialStuff(const Context& ctx, PrinterLink& link, StationData& station);
Outcome SetFTFlag(const Context& ctx, PrinterLink& link, StationData& station);
Outcome ReadFatalErrorCode(const Context& ctx, PrinterLink& link, StationData& station,
                           uint8_t& code);
Outcome Transferflag(const Context& ctx, PrinterLink& link, StationData& station);

// ---- motor and power tests
Outcome MotorMoveTest(const Context& ctx, PrinterLink& link, StationData& station);
Outcome MotorAction(const Context& ctx, PrinterLink& link, StationData& station);
Outcome PowerOffTest(const Context& ctx, PrinterLink& link, StationData& station);

}  // namespace tarvo::catalogue
