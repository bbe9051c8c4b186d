#include "charts/print_chart.h"

#include <array>

#include "base/wait_windows.h"
#include "charts/chart_table.h"
#include "charts/header_page.h"
#include "charts/print_file.h"
#include "protocol/commands.h"
#include "protocol/eeprom.h"

namespace tarvo {

Outcome PrintChart(const Context& ctx, PrinterLink& link, const DeviceState& state,
                   const HeadBlock& head, ChartLabel& chart_label, uint32_t chart) {
  // The busy window stands from before the first transfer to the end.
  WaitWindowGuard busy(ctx.op, PrinterBusyWindow(ctx.edition));
  Outcome passed;

  std::string tcl;
  if (ctx.edition.reports_ink_system) {
    // The ink system values are printed beside the temperature. A failed read prints them as
    // zero.
    RomImage image{};
    if (Outcome read = ReadRomImage(ctx, link, image); !read.achieved()) {
      image.fill(0);
      passed.PassOver(read);
    }
    tcl = TwoDigits(image[kUnplugAccumulationOffset]) + TwoDigits(image[kTclConditionOffset]);
  }

  ++chart_label.chart_prints;
  passed.PassOver(SendJobMark(ctx, link, 0, 1));
  int temperature = -1;
  passed.PassOver(ReadTemperature(ctx, link, temperature));
  std::string status = TwoDigits(temperature) + tcl;

  auto row = FindChart(chart);
  if (Outcome sent = SendPrintFile(ctx, link, row ? std::string(row->first_file) : std::string());
      !sent) {
    return sent;
  }

  HeaderInputs header;
  header.head = head;
  header.chart_label = chart_label;
  header.status = status;
  header.layout = row->layout;
  if (ctx.edition.header_names_firmware) {
    std::string version;
    Outcome queried = ReadFWVersion(ctx, link, version);
    if (queried.achieved()) header.firmware = version;
    passed.PassOver(queried);
    header.library_version = state.library_version;
  } else {
    header.program_version = kProgramVersion;
  }
  header.time = ctx.clock.LocalTime();
  std::vector<uint8_t> page = BuildHeaderPage(ctx.edition, header);
  passed.PassOver(WriteTold(
      ctx, link, page, ctx.Text({"Write MELoadFile Command Error !!", "Print Text 寫入失敗!!"})));

  Outcome second = SendPrintFile(ctx, link, std::string(row->second_file));
  if (second) ctx.Wait(kAfterChartWaitMs, wait_labels::kPrintingChart);
  return passed.Then(second);
}

Outcome PrintNozzleCheck(const Context& ctx, PrinterLink& link) {
  if (!link.HandleOpen()) return Outcome::NotDone("the printer is off line");
  const Chart& chart = kCharts[kNozzleCheckChart];
  Outcome sent = SendPrintFile(ctx, link, std::string(chart.first_file));
  if (sent) sent = SendPrintFile(ctx, link, std::string(chart.second_file));
  link.HandleClose();
  return sent;
}

Outcome PrintMeasurementFile(const Context& ctx, PrinterLink& link, const std::string& dot_file) {
  if (!link.HandleOpen()) return Outcome::NotDone("the printer is off line");
  Outcome sent;
  for (int i = 0; i < 3 && sent; ++i) {
    sent = SendPrintFile(ctx, link, dot_file);
    if (sent) ctx.Wait(kMeasurementWaitMs, wait_labels::kPrintingDots);
  }
  link.HandleClose();
  return sent;
}

}  // namespace tarvo
