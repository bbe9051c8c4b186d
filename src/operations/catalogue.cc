#include "operations/catalogue.h"

#include "charts/print_chart.h"
#include "charts/print_file.h"
#include "operations/alignment.h"
#include "operations/firmware.h"
#include "operations/head_id.h"
#include "operations/maintenance.h"
#include "operations/motor_tests.h"
#include "operations/rom_dump.h"
#include "operations/rom_file.h"
#include "operations/rom_flags.h"
#include "operations/station_blocks.h"
#include "operations/transfer_0071.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"

namespace tarvo::catalogue {

Outcome ReadFWVersion(const Context& ctx, PrinterLink& link, StationData&, std::string& version) {
  return tarvo::ReadFWVersion(ctx, link, version);
}

Outcome ReadRamFWPtr(const Context& ctx, PrinterLink& link, StationData&, uint32_t& value) {
  return tarvo::ReadRamFWPtr(ctx, link, value);
}

Outcome ReadTemperatureBegin(const Context& ctx, PrinterLink& link, StationData&,
                             int& temperature) {
  temperature = -1;
  return tarvo::ReadTemperatureBegin(ctx, link, temperature);
}

Outcome PowerOff(const Context& ctx, PrinterLink& link, StationData&, uint8_t shipment_flag) {
  return tarvo::PowerOff(ctx, link, shipment_flag);
}

Outcome ReadData(const Context& ctx, PrinterLink& link, StationData& station) {
  return tarvo::ReadData(ctx, link, station.read_block);
}

Outcome SetHeadID(const Context& ctx, PrinterLink& link, StationData& station) {
  return SetHeadIDOnStation(ctx, link, station);
}

Outcome SetInkSystemValue(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::SetInkSystemValue(ctx, link);
}

Outcome NozzleClean(const Context& ctx, PrinterLink& link, StationData& station, int mode) {
  return tarvo::NozzleClean(ctx, link, station.chart_label, mode);
}

Outcome Lubrication(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::Lubrication(ctx, link);
}

Outcome InkCharge(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::InkCharge(ctx, link);
}

Outcome InkDisCharge(const Context& ctx, PrinterLink& link, StationData& station, int finishing) {
  return tarvo::InkDisCharge(ctx, link, station.state, finishing);
}

Outcome InkDisChargeNoPowerOff(const Context& ctx, PrinterLink& link, StationData& station,
                               int finishing) {
  return tarvo::InkDisChargeNoPowerOff(ctx, link, station.state, finishing);
}

Outcome TOF(const Context& ctx, PrinterLink& link, StationData& station) {
  return tarvo::TOF(ctx, link, station.state, station.working_block, station.read_block,
                    station.chart_label);
}

Outcome BiAdjust(const Context& ctx, PrinterLink& link, StationData& station, int mode) {
  return tarvo::BiAdjust(ctx, link, station.state, station.working_block, station.read_block,
                         station.chart_label, mode);
}

Outcome PrintChart(const Context& ctx, PrinterLink& link, StationData& station,
                   const HeadBlock& head, uint32_t chart) {
  return tarvo::PrintChart(ctx, link, station.state, head, station.chart_label, chart);
}

Outcome SendPrintFile(const Context& ctx, PrinterLink& link, StationData&,
                      const std::string& path) {
  return tarvo::SendPrintFile(ctx, link, path);
}

Outcome MELoadFilePtr(const Context& ctx, PrinterLink& link, StationData&,
                      std::span<const char> chars) {
  return tarvo::MELoadFilePtr(ctx, link, chars);
}

Outcome UpdateFW(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::UpdateFW(ctx, link);
}

Outcome UpdateShippingFW(const Context& ctx, PrinterLink& link, StationData&, int type) {
  return tarvo::UpdateShippingFW(ctx, link, type);
}

Outcome DumpData(const Context& ctx, PrinterLink& link, StationData& station, int mode,
                 bool* written) {
  return tarvo::DumpData(ctx, link, station.state, mode, written);
}

Outcome SetInitialValue(const Context& ctx, PrinterLink& link, StationData& station,
                        bool* written) {
  return tarvo::SetInitialValue(ctx, link, station.state, written);
}

Outcome DumpTransferROMData(const Context& ctx, PrinterLink& link, StationData& station,
                            std::span<uint8_t, kLibrarySummarySize> record) {
  return tarvo::DumpTransferROMData(ctx, link, station.state, record);
}

Outcome ReadRomImage(const Context& ctx, PrinterLink& link, StationData&, RomImage& image) {
  return tarvo::ReadRomImage(ctx, link, image);
}

Outcome LoadFile(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::LoadFile(ctx, link);
}

Outcome SaveFile(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::SaveFile(ctx, link);
}

Outcome ResetAll(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::ResetAll(ctx, link);
}

Outcome SetCharge(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::SetCharge(ctx, link);
}

Outcome ReadFW(const Context& ctx, PrinterLink& link, StationData&, std::string& version) {
  return tarvo::ReadFW(ctx, link, version);
}

Outcome SetInitialStuff(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::SetInitialStuff(ctx, link);
}

Outcome SetFTFlag(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::SetFTFlag(ctx, link);
}

Outcome ReadFatalErrorCode(const Context& ctx, PrinterLink& link, StationData&, uint8_t& code) {
  return tarvo::ReadFatalErrorCode(ctx, link, code);
}

Outcome Transferflag(const Context& ctx, PrinterLink& link, StationData& station) {
  return tarvo::Transferflag(ctx, link, station.state);
}

Outcome MotorMoveTest(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::MotorMoveTest(ctx, link);
}

Outcome MotorAction(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::MotorAction(ctx, link);
}

Outcome PowerOffTest(const Context& ctx, PrinterLink& link, StationData&) {
  return tarvo::PowerOffTest(ctx, link);
}

}  // namespace tarvo::catalogue
