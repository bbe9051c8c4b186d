// The library's 35 exports: each checks the host's pointers, then runs one device operation of
// the library edition through the runtime.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <span>

#include "fennick.h"
#include "library/export_gate.h"
#include "library/offline_report.h"
#include "library/runtime.h"
#include "model/rom_summary.h"
#include "operations/catalogue.h"
#include "operations/library_version.h"
#include "runtime/runtime.h"

namespace {

using tarvo::ChartLabel;
using tarvo::ChartLabelBytes;
using tarvo::HeadBlock;
using tarvo::kChartLabelSize;
using tarvo::kHeadBlockSize;
using tarvo::StationData;
using tarvo::library::Runtime;

void Report(const char* name, const char* what) noexcept {
  std::fprintf(stderr, "fennick: %s stopped: %s\n", name, what);
}

// One export at a time: the host's threads wait their turn, a call made from inside an export
// on its own thread is refused.
tarvo::library::ExportGate g_gate;

// Runs the body of export `name`, which may throw (an operator that cannot answer, a failed
// allocation): nothing crosses into the host, which gets `failure` instead, as it does when the
// call is refused.
template <typename Result, typename Body>
Result Guard(const char* name, Result failure, Body&& body) noexcept {
  try {
    tarvo::library::ExportGate::Pass pass = g_gate.Enter(name);
    if (!pass.entered()) {
      std::fprintf(stderr, "fennick: %s refused: %s is still running on this thread\n", name,
                   pass.running());
      return failure;
    }
    return body();
  } catch (const std::exception& e) {
    Report(name, e.what());
  } catch (...) {
    Report(name, "unknown exception");
  }
  return failure;
}

// Guard with the runtime; `failure` as well when the environment gives no usable runtime.
template <typename Result, typename Body>
Result WithRuntime(const char* name, Result failure, Body&& body) noexcept {
  return Guard(name, failure, [&]() -> Result {
    Runtime* rt = Runtime::Get();
    if (!rt) return failure;
    // The host may do anything between two calls: each call leaves its traffic in the wire log.
    tarvo::runtime::OperationEnd flush(rt->ctx());
    // The export's EEPROM writes are journalled under its name.
    if (rt->ctx().records) rt->ctx().records->BeginOperation(name);
    return body(*rt);
  });
}

// For the exports whose result carries nothing.
template <typename Body>
void WithRuntimeVoid(const char* name, Body&& body) noexcept {
  WithRuntime(name, 0, [&](Runtime& rt) {
    body(rt);
    return 0;
  });
}

// The host's chart label record, decoded into the station's for the length of one export and
// encoded back into the host's 24 bytes when it ends, however it ends.
class HostLabel {
 public:
  HostLabel(StationData& station, unsigned char* host) : station_(station), host_(host) {
    ChartLabelBytes bytes{};
    std::copy_n(host_, kChartLabelSize, bytes.begin());
    station_.chart_label = ChartLabel::Decode(bytes);
  }
  ~HostLabel() {
    const ChartLabelBytes bytes = station_.chart_label.Encode();
    std::copy(bytes.begin(), bytes.end(), host_);
  }
  HostLabel(const HostLabel&) = delete;
  HostLabel& operator=(const HostLabel&) = delete;

  ChartLabel& label() { return station_.chart_label; }

 private:
  StationData& station_;
  unsigned char* host_;
};

void CopyIn(HeadBlock& block, const unsigned char* host) {
  std::copy_n(host, kHeadBlockSize, block.begin());
}
void CopyOut(const HeadBlock& block, unsigned char* host) {
  std::copy_n(block.begin(), kHeadBlockSize, host);
}

// TOF and BiAdjust work on the library's own pair of blocks, loaded from the host's block and
// read-back buffer and handed back to them when the operation ends.
template <typename Adjust>
unsigned char AdjustOnHostBlocks(const char* name, unsigned char* block, unsigned char* read_back,
                                 unsigned char* chart_label, Adjust&& adjust) {
  constexpr unsigned char kNotDone = 2;
  if (!block || !read_back || !chart_label) return kNotDone;
  return WithRuntime(name, kNotDone, [&](Runtime& rt) {
    StationData& station = rt.station();
    CopyIn(station.working_block, block);
    CopyIn(station.read_block, read_back);
    // Handed back also when the operator stops the adjustment half-way: the block then holds
    // the last value the printer was sent, as after a failed write.
    struct HandBack {
      StationData& station;
      unsigned char* block;
      unsigned char* read_back;
      ~HandBack() {
        CopyOut(station.working_block, block);
        CopyOut(station.read_block, read_back);
      }
    } hand_back{station, block, read_back};
    HostLabel label(station, chart_label);
    return static_cast<unsigned char>(adjust(rt).ResultCode());
  });
}

}  // namespace

extern "C" {

// ---------------------------------------------------------------- printer link

unsigned char FENNICK_CALL HandleOpen(void) {
  return WithRuntime("HandleOpen", static_cast<unsigned char>(0), [](Runtime& rt) {
    const bool open = rt.link().HandleOpen();
    if (!open && rt.real_printer()) TellWhyOffline(rt);
    return static_cast<unsigned char>(open);
  });
}

int32_t FENNICK_CALL HandleClose(void) {
  return Guard("HandleClose", 0, [] {
    // Without a runtime nothing was ever opened: no need to build one to close nothing.
    Runtime* rt = Runtime::Current();
    return rt && rt->link().HandleClose() ? 1 : 0;
  });
}

// ---------------------------------------------------------------- commands

unsigned char FENNICK_CALL ReadRamFWPtr(uint32_t* value) {
  if (!value) return 0;
  return WithRuntime("ReadRamFWPtr", static_cast<unsigned char>(0), [&](Runtime& rt) {
    uint32_t read = 0;
    if (!tarvo::catalogue::ReadRamFWPtr(rt.ctx(), rt.link(), rt.station(), read).achieved()) {
      return static_cast<unsigned char>(0);
    }
    *value = read;
    return static_cast<unsigned char>(1);
  });
}

int32_t FENNICK_CALL ReadTemperatureBegin(void) {
  return WithRuntime("ReadTemperatureBegin", -1, [](Runtime& rt) {
    int temperature = -1;
    tarvo::catalogue::ReadTemperatureBegin(rt.ctx(), rt.link(), rt.station(), temperature);
    return static_cast<int32_t>(temperature);
  });
}

int32_t FENNICK_CALL PowerOff(int32_t shipment_flag) {
  WithRuntimeVoid("PowerOff", [&](Runtime& rt) {
    tarvo::catalogue::PowerOff(rt.ctx(), rt.link(), rt.station(),
                               static_cast<uint8_t>(shipment_flag));
  });
  return 1;
}

unsigned char FENNICK_CALL MELoadFilePtr(const char* chars, int32_t count) {
  if (!chars && count > 0) return 0;
  const size_t size = count > 0 ? static_cast<size_t>(count) : 0;
  return WithRuntime("MELoadFilePtr", static_cast<unsigned char>(0), [&](Runtime& rt) {
    return static_cast<unsigned char>(
        tarvo::catalogue::MELoadFilePtr(rt.ctx(), rt.link(), rt.station(),
                                        std::span<const char>(chars, size))
            .ok());
  });
}

// ---------------------------------------------------------------- EEPROM access

int32_t FENNICK_CALL ReadData(unsigned char* block, unsigned char* /*unused*/) {
  if (!block) return 1;
  WithRuntimeVoid("ReadData", [&](Runtime& rt) {
    StationData& station = rt.station();
    if (tarvo::catalogue::ReadData(rt.ctx(), rt.link(), station).achieved()) {
      CopyOut(station.read_block, block);
    }
  });
  return 1;
}

unsigned char FENNICK_CALL SetHeadID(unsigned char* block) {
  constexpr auto kCancelled = static_cast<unsigned char>(2);
  if (!block) return kCancelled;
  return WithRuntime("SetHeadID", kCancelled, [&](Runtime& rt) {
    // The host's block is the working block for the length of the call.
    CopyIn(rt.station().working_block, block);
    const tarvo::Outcome result = tarvo::catalogue::SetHeadID(rt.ctx(), rt.link(), rt.station());
    CopyOut(rt.station().working_block, block);
    return static_cast<unsigned char>(result.ResultCode());
  });
}

unsigned char FENNICK_CALL SetInkSystemValue(void) {
  return WithRuntime("SetInkSystemValue", static_cast<unsigned char>(0), [](Runtime& rt) {
    return static_cast<unsigned char>(
        tarvo::catalogue::SetInkSystemValue(rt.ctx(), rt.link(), rt.station()).achieved());
  });
}

// ---------------------------------------------------------------- head maintenance

void FENNICK_CALL NozzleClean(unsigned char* chart_label, int32_t mode) {
  if (!chart_label) return;
  WithRuntimeVoid("NozzleClean", [&](Runtime& rt) {
    HostLabel on_host(rt.station(), chart_label);  // the host's record for the call
    tarvo::catalogue::NozzleClean(rt.ctx(), rt.link(), rt.station(), mode);
  });
}

void FENNICK_CALL Lubrication(void) {
  WithRuntimeVoid("Lubrication", [](Runtime& rt) {
    tarvo::catalogue::Lubrication(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL InkCharge(void) {
  WithRuntimeVoid("InkCharge", [](Runtime& rt) {
    tarvo::catalogue::InkCharge(rt.ctx(), rt.link(), rt.station());
  });
}

unsigned char FENNICK_CALL InkDisCharge(int32_t finishing) {
  return WithRuntime("InkDisCharge", static_cast<unsigned char>(0), [&](Runtime& rt) {
    return static_cast<unsigned char>(
        tarvo::catalogue::InkDisCharge(rt.ctx(), rt.link(), rt.station(), finishing).achieved());
  });
}

unsigned char FENNICK_CALL InkDisChargeNoPowerOff(int32_t finishing) {
  return WithRuntime("InkDisChargeNoPowerOff", static_cast<unsigned char>(0), [&](Runtime& rt) {
    return static_cast<unsigned char>(
        tarvo::catalogue::InkDisChargeNoPowerOff(rt.ctx(), rt.link(), rt.station(), finishing)
            .achieved());
  });
}

// ---------------------------------------------------------------- alignment

unsigned char FENNICK_CALL TOF(unsigned char* block, unsigned char* read_back,
                               unsigned char* chart_label) {
  return AdjustOnHostBlocks("TOF", block, read_back, chart_label, [](Runtime& rt) {
    return tarvo::catalogue::TOF(rt.ctx(), rt.link(), rt.station());
  });
}

unsigned char FENNICK_CALL BiAdjust(unsigned char* block, unsigned char* read_back,
                                    unsigned char* chart_label, uint32_t mode) {
  // A mode beyond the int range is as unknown as 4; the device layer refuses both.
  const int bid_mode = mode > 3 ? -1 : static_cast<int>(mode);
  return AdjustOnHostBlocks("BiAdjust", block, read_back, chart_label, [&](Runtime& rt) {
    return tarvo::catalogue::BiAdjust(rt.ctx(), rt.link(), rt.station(), bid_mode);
  });
}

// ---------------------------------------------------------------- charts

void FENNICK_CALL PrintChart(FennickHead44 head, unsigned char* chart_label, uint32_t chart) {
  if (!chart_label) return;
  WithRuntimeVoid("PrintChart", [&](Runtime& rt) {
    HeadBlock block{};
    CopyIn(block, head.bytes);
    HostLabel on_host(rt.station(), chart_label);  // the host's record for the call
    tarvo::catalogue::PrintChart(rt.ctx(), rt.link(), rt.station(), block, chart);
  });
}

void FENNICK_CALL SetDLLVersion(const char* chars) {
  if (!chars) return;
  // No runtime: the version text is the library's own and no printer is involved.
  Guard("SetDLLVersion", 0, [&] {
    tarvo::SetDLLVersion(tarvo::library::LibraryStation().state, std::span<const char>(chars, 4));
    return 0;
  });
}

// ---------------------------------------------------------------- ROM data image

void FENNICK_CALL DumpData(int32_t mode) {
  WithRuntimeVoid("DumpData", [&](Runtime& rt) {
    tarvo::catalogue::DumpData(rt.ctx(), rt.link(), rt.station(), mode);
  });
}

void FENNICK_CALL SetInitialValue(void) {
  WithRuntimeVoid("SetInitialValue", [](Runtime& rt) {
    tarvo::catalogue::SetInitialValue(rt.ctx(), rt.link(), rt.station());
  });
}

unsigned char FENNICK_CALL DumpTransferROMData(unsigned char* record) {
  if (!record) return 0;
  return WithRuntime("DumpTransferROMData", static_cast<unsigned char>(0), [&](Runtime& rt) {
    // Bytes the record does not carry stay as the host passed them.
    tarvo::RomSummary summary{};
    std::copy_n(record, summary.size(), summary.begin());
    if (!tarvo::catalogue::DumpTransferROMData(rt.ctx(), rt.link(), rt.station(), summary)
             .achieved()) {
      return static_cast<unsigned char>(0);
    }
    std::copy(summary.begin(), summary.end(), record);
    return static_cast<unsigned char>(1);
  });
}

void FENNICK_CALL ResetAll(void) {
  WithRuntimeVoid("ResetAll", [](Runtime& rt) {
    tarvo::catalogue::ResetAll(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL LoadFile(void) {
  WithRuntimeVoid("LoadFile", [](Runtime& rt) {
    tarvo::catalogue::LoadFile(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL SaveFile(void) {
  WithRuntimeVoid("SaveFile", [](Runtime& rt) {
    tarvo::catalogue::SaveFile(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL SetCharge(void) {
  WithRuntimeVoid("SetCharge", [](Runtime& rt) {
    tarvo::catalogue::SetCharge(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL ReadFW(void) {
  WithRuntimeVoid("ReadFW", [](Runtime& rt) {
    std::string version;
    tarvo::catalogue::ReadFW(rt.ctx(), rt.link(), rt.station(), version);
  });
}

void FENNICK_CALL SetInitialStuff(void) {
  WithRuntimeVoid("SetInitialStuff", [](Runtime& rt) {
    tarvo::catalogue::SetInitialStuff(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL SetFTFlag(void) {
  WithRuntimeVoid("SetFTFlag", [](Runtime& rt) {
    tarvo::catalogue::SetFTFlag(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL ReadFatalErrorCode(void) {
  WithRuntimeVoid("ReadFatalErrorCode", [](Runtime& rt) {
    uint8_t code = 0;
    tarvo::catalogue::ReadFatalErrorCode(rt.ctx(), rt.link(), rt.station(), code);
  });
}

// ---------------------------------------------------------------- firmware

void FENNICK_CALL UpdateFW(void) {
  WithRuntimeVoid("UpdateFW", [](Runtime& rt) {
    tarvo::catalogue::UpdateFW(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL UpdateShippingFW(int32_t type) {
  WithRuntimeVoid("UpdateShippingFW", [&](Runtime& rt) {
    tarvo::catalogue::UpdateShippingFW(rt.ctx(), rt.link(), rt.station(), type);
  });
}

void FENNICK_CALL Transferflag(void) {
  WithRuntimeVoid("Transferflag", [](Runtime& rt) {
    tarvo::catalogue::Transferflag(rt.ctx(), rt.link(), rt.station());
  });
}

// ---------------------------------------------------------------- motor and power tests

void FENNICK_CALL MotorMoveTest(void) {
  WithRuntimeVoid("MotorMoveTest", [](Runtime& rt) {
    tarvo::catalogue::MotorMoveTest(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL MotorAction(void) {
  WithRuntimeVoid("MotorAction", [](Runtime& rt) {
    tarvo::catalogue::MotorAction(rt.ctx(), rt.link(), rt.station());
  });
}

void FENNICK_CALL PowerOffTest(void) {
  WithRuntimeVoid("PowerOffTest", [](Runtime& rt) {
    tarvo::catalogue::PowerOffTest(rt.ctx(), rt.link(), rt.station());
  });
}

}  // extern "C"
