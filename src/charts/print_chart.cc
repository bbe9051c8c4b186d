#include "charts/print_chart.h"

#include <array>

#include "base/wait_windows.h"
#include "charts/chart_table.h"
#include "charts/header_page.h"
#include "charts/print_file.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"

namespace tarvo {

void PrintChart(const Context& ctx, PrinterLink& link, const DeviceState& state,
                const HeadBlock& head, ChartLabel& chart_label, uint32_t chart) {
  // The busy window stands from before the first transfer to the end.
  WaitWindowGuard busy(ctx.op, PrinterBusyWindow(ctx.edition));

  std::string tcl;
  if (ctx.edition.is_library()) {
    // The library prints the ink system values beside the temperature. A failed read prints them
    // as zero.
    RomImage image{};
    if (!ReadRomImage(ctx, link, image)) image.fill(0);
    tcl = TwoDigits(image[kUnplugAccumulationOffset]) + TwoDigits(image[kTclConditionOffset]);
  }

  ++chart_label.chart_prints;
  SendJobMark(ctx, link, 0, 1);
  std::string status = TwoDigits(ReadTemperature(ctx, link)) + tcl;

  auto row = FindChart(chart);
  if (!SendPrintFile(ctx, link, row ? std::string(row->first_file) : std::string())) return;

  HeaderInputs header;
  header.head = head;
  header.chart_label = chart_label;
  header.status = status;
  header.layout = row->layout;
  if (ctx.edition.is_library()) {
    header.firmware = ReadFWVersion(ctx, link);
    header.library_version = state.library_version;
  } else {
    header.program_version = kProgramVersion;
  }
  header.time = ctx.clock.LocalTime();
  std::vector<uint8_t> page = BuildHeaderPage(ctx.edition, header);
  if (!link.TimedWrite(page)) {
    ctx.Error(ctx.Text({"Write MELoadFile Command Error !!", "Print Text 寫入失敗!!"}),
              "WriteFileX");
  }

  if (SendPrintFile(ctx, link, std::string(row->second_file))) ctx.Wait(kAfterChartWaitMs);
}

bool PrintNozzleCheck(const Context& ctx, PrinterLink& link) {
  if (!link.HandleOpen()) return false;
  const Chart& chart = kCharts[kNozzleCheckChart];
  bool ok = SendPrintFile(ctx, link, std::string(chart.first_file)) &&
            SendPrintFile(ctx, link, std::string(chart.second_file));
  link.HandleClose();
  return ok;
}

bool PrintMeasurementFile(const Context& ctx, PrinterLink& link, const std::string& dot_file) {
  if (!link.HandleOpen()) return false;
  bool ok = true;
  for (int i = 0; i < 3 && ok; ++i) {
    ok = SendPrintFile(ctx, link, dot_file);
    if (ok) ctx.Wait(kMeasurementWaitMs);
  }
  link.HandleClose();
  return ok;
}

}  // namespace tarvo
