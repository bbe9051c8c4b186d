// Commands of chart printing: PrintChart, SendPrintFile, MELoadFilePtr.
#include <fstream>
#include <iterator>

#include "cli/command.h"
#include "cli/session.h"
#include "operations/catalogue.h"

namespace tarvo::cli {
namespace {

// The head data block of a chart: from a file (a head data block or a whole ROM image; its first
// 41 bytes), or read from the printer.
bool LoadHead(Session& s, const std::string* path, HeadBlock& head) {
  if (!path) {
    if (!catalogue::ReadData(s.ctx, s.link, s.station).achieved()) return false;
    head = s.station.read_block;
    return true;
  }
  std::ifstream file(*path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
  if (!file.good() && !file.eof()) return false;
  if (bytes.size() < head.size()) {
    s.err << "tarvo-cli: " << *path << " holds " << bytes.size() << " bytes; a head data block has "
          << kHeadBlockSize << "\n";
    return false;
  }
  std::copy_n(bytes.begin(), head.size(), head.begin());
  return true;
}

int PrintChartCommand(Session& s, std::span<const std::string> args) {
  uint32_t chart = 0;
  try {
    chart = static_cast<uint32_t>(std::stoul(args[0]));
  } catch (const std::exception&) {
    s.err << "tarvo-cli: chart number expected, not \"" << args[0] << "\"\n";
    return kExitUsage;
  }
  HeadBlock head{};
  if (!LoadHead(s, args.size() > 1 ? &args[1] : nullptr, head)) return kExitFailed;
  Outcome printed = catalogue::PrintChart(s.ctx, s.link, s.station, head, chart);
  s.out << "PrintChart " << chart << ": prints " << int{s.station.chart_label.chart_prints}
        << FailureNoteFor(printed) << "\n";
  return ExitStatus(printed);
}

int SendPrintFileCommand(Session& s, std::span<const std::string> args) {
  Outcome sent = catalogue::SendPrintFile(s.ctx, s.link, s.station, args[0]);
  s.out << "SendPrintFile: " << sent.ok() << FailureNoteFor(sent) << "\n";
  return ExitStatus(sent);
}

int MELoadFilePtrCommand(Session& s, std::span<const std::string> args) {
  Outcome sent =
      catalogue::MELoadFilePtr(s.ctx, s.link, s.station, std::span(args[0].data(), args[0].size()));
  s.out << "MELoadFilePtr: " << sent.ok() << FailureNoteFor(sent) << "\n";
  return ExitStatus(sent);
}

const bool registered =
    RegisterCommand(
        {.name = "PrintChart",
         .usage = "N [HEAD_FILE]",
         .help = "print chart N (0-18) with the head data block of the printer or a file",
         .min_args = 1,
         .max_args = 2,
         .needs_link = true,
         .run = PrintChartCommand}) &&
    RegisterCommand(LinkCommand("SendPrintFile", "PATH", "stream a print file to the printer", 1,
                                SendPrintFileCommand)) &&
    RegisterCommand(LinkCommand("MELoadFilePtr", "NAME", "send the file NAME to the printer", 1,
                                MELoadFilePtrCommand));

}  // namespace
}  // namespace tarvo::cli
