// The line's records: "records list|show|export|yield|push" over the machine's records file.
#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/command.h"
#include "cli/records_args.h"
#include "cli/session.h"
#include "records/record_keeper.h"

namespace tarvo::cli {
namespace {

std::string ResultWord(int result) {
  return result == 1 ? "PASS" : result == 0 ? "FAIL" : "not run";
}

std::string TotalWord(int total) {
  return total == 1 ? "PASS" : total == 0 ? "FAIL" : "Testing";
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string SlotsText(const StepRecord& r) {
  std::string out;
  for (const SlotResult& s : r.slot_results) {
    out += (out.empty() ? "" : ", ") + s.name + "=" + ResultWord(s.result);
  }
  return out.empty() ? "-" : out;
}

// "12 2026-12-08T11:31:18 S2 5 2-1. Nozzle Cleaning ... | 0313AB... AB12CD | Nozzle Check=PASS
// | total Testing"
void PrintStepLine(std::ostream& out, const records::StoredStep& s) {
  const StepRecord& r = s.record;
  out << s.id << " " << r.started << " S" << r.station << " " << r.position << " "
      << Trimmed(r.text) << " | " << (r.printer.usb_serial.empty() ? "-" : r.printer.usb_serial)
      << " " << (r.printer.head_id.empty() ? "-" : r.printer.head_id) << " | " << SlotsText(r)
      << " | total " << TotalWord(r.total) << "\n";
}

void PrintStep(std::ostream& out, const records::StoredStep& s) {
  const StepRecord& r = s.record;
  out << "record " << s.id << " (" << s.uid << ")" << (s.sent ? ", in the line database" : "")
      << "\n"
      << "station " << r.station << ", step " << r.position << " \"" << Trimmed(r.text) << "\"\n"
      << "from " << r.started << " to " << r.ended << " on " << s.origin.host << ", tarvo "
      << s.origin.tool_version << " (" << s.origin.edition << ")\n"
      << "printer: model " << r.printer.model_code << ", USB S/No. " << r.printer.usb_serial
      << ", head ID " << r.printer.head_id << "\n"
      << "slots: " << SlotsText(r) << "; total " << TotalWord(r.total) << "\n"
      << "adjustments: TOF " << r.adjustments.tof << " (x25 = " << r.adjustments.tof * 25
      << "), MS1 " << r.adjustments.ms1 << ", MS2 " << r.adjustments.ms2 << ", VSD "
      << r.adjustments.vsd << ", ECN " << r.adjustments.ecn << "\n"
      << "station settings: destination " << r.settings.destination << ", belt " << r.settings.belt
      << ", PC " << r.settings.pc << ", jig " << r.settings.jig << "\n";
}

nlohmann::json StepJson(const records::StoredStep& s) {
  const StepRecord& r = s.record;
  nlohmann::json slots = nlohmann::json::array();
  for (const SlotResult& slot : r.slot_results) {
    slots.push_back({{"slot", slot.slot}, {"name", slot.name}, {"result", slot.result}});
  }
  return {{"id", s.id},
          {"uid", s.uid},
          {"host", s.origin.host},
          {"tool_version", s.origin.tool_version},
          {"edition", s.origin.edition},
          {"station", r.station},
          {"position", r.position},
          {"text", r.text},
          {"started", r.started},
          {"ended", r.ended},
          {"total", r.total},
          {"model_code", r.printer.model_code},
          {"usb_serial", r.printer.usb_serial},
          {"head_id", r.printer.head_id},
          {"tof", r.adjustments.tof},
          {"ms1", r.adjustments.ms1},
          {"ms2", r.adjustments.ms2},
          {"vsd", r.adjustments.vsd},
          {"ecn", r.adjustments.ecn},
          {"destination", r.settings.destination},
          {"belt", r.settings.belt},
          {"pc", r.settings.pc},
          {"jig", r.settings.jig},
          {"slots", slots},
          {"sent", s.sent}};
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string Csv(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

void ExportCsv(std::ostream& out, const std::vector<records::StoredStep>& steps) {
  out << "id,uid,host,tool_version,edition,station,position,text,started,ended,total,model_code,"
         "usb_serial,head_id,tof,ms1,ms2,vsd,ecn,destination,belt,pc,jig,slots\n";
  for (const auto& s : steps) {
    const StepRecord& r = s.record;
    std::string slots;
    for (const SlotResult& slot : r.slot_results) {
      slots += (slots.empty() ? "" : ";") + slot.name + "=" + std::to_string(slot.result);
    }
    const std::string fields[] = {std::to_string(s.id),
                                  s.uid,
                                  s.origin.host,
                                  s.origin.tool_version,
                                  s.origin.edition,
                                  std::to_string(r.station),
                                  std::to_string(r.position),
                                  r.text,
                                  r.started,
                                  r.ended,
                                  std::to_string(r.total),
                                  r.printer.model_code,
                                  r.printer.usb_serial,
                                  r.printer.head_id,
                                  std::to_string(r.adjustments.tof),
                                  std::to_string(r.adjustments.ms1),
                                  std::to_string(r.adjustments.ms2),
                                  std::to_string(r.adjustments.vsd),
                                  std::to_string(r.adjustments.ecn),
                                  r.settings.destination,
                                  r.settings.belt,
                                  r.settings.pc,
                                  r.settings.jig,
                                  slots};
    bool first = true;
    for (const std::string& f : fields) {
      out << (first ? "" : ",") << Csv(f);
      first = false;
    }
    out << "\n";
  }
}

int List(Session& s, records::LocalStore& store, const RecordsArgs& a) {
  records::StepFilter filter{a.serial, a.since, a.station};
  for (const auto& step : store.Steps(filter)) PrintStepLine(s.out, step);
  return kExitOk;
}

int Show(Session& s, records::LocalStore& store, int64_t id) {
  std::optional<records::StoredStep> step = store.Step(id);
  if (!step) {
    s.err << "tarvo-cli: no record " << id << "\n";
    return kExitFailed;
  }
  PrintStep(s.out, *step);
  const std::string& serial = step->record.printer.usb_serial;
  if (serial.empty()) return kExitOk;
  s.out << "\nhistory of " << serial << ":\n";
  for (const auto& other : store.Steps({serial, "", 0})) PrintStepLine(s.out, other);
  for (const auto& j : store.Journal(serial)) {
    s.out << "journal " << j.id << " " << j.record.time << " " << j.record.operation << " "
          << AreaName(j.record.area) << " " << CheckName(j.record.check) << "\n";
  }
  for (const auto& m : store.DotWeights(serial)) {
    s.out << "dot weight " << m.id << " " << m.record.time << " " << m.record.kind << " average "
          << m.record.average << " " << (m.record.passed ? "PASS" : "FAIL") << "\n";
  }
  return kExitOk;
}

int Export(Session& s, records::LocalStore& store, const RecordsArgs& a) {
  const auto steps = store.Steps({a.serial, a.since, a.station});
  if (a.format == "json") {
    nlohmann::json all = nlohmann::json::array();
    for (const auto& step : steps) all.push_back(StepJson(step));
    s.out << all.dump(2) << "\n";
    return kExitOk;
  }
  ExportCsv(s.out, steps);
  return kExitOk;
}

int Yield(Session& s, records::LocalStore& store, const RecordsArgs& a) {
  for (const records::YieldRow& row : store.Yield(a.since)) {
    s.out << row.day << " station " << row.station << ": " << row.printers << " printers, "
          << row.passed << " passed, " << row.failed << " failed";
    if (!row.failed_slots.empty()) {
      s.out << "; failed most:";
      for (size_t i = 0; i < row.failed_slots.size() && i < 3; ++i) {
        s.out << (i ? "," : "") << " " << row.failed_slots[i].first << " ("
              << row.failed_slots[i].second << ")";
      }
    }
    s.out << "\n";
  }
  return kExitOk;
}

int Push(Session& s) {
  std::string error;
  int64_t sent = 0;
  if (!s.records->Push(&error, &sent)) {
    s.err << "tarvo-cli: records push: " << error << "\n";
    return kExitFailed;
  }
  s.out << "records push: " << sent << " sent\n";
  return kExitOk;
}

int RecordsCommand(Session& s, std::span<const std::string> args) {
  std::string problem;
  std::optional<RecordsArgs> a = ParseRecordsArgs(args, &problem);
  if (!a) {
    s.err << "tarvo-cli: records: " << problem << "\n";
    return kExitUsage;
  }
  if (a->verb == "push") return Push(s);
  // A records file that cannot be read, or only in part, is told (by the keeper, or here) and
  // fails the command: what it printed may be short.
  records::LocalStore* store = s.records->Readable();
  if (!store) return kExitFailed;
  int status = kExitOk;
  if (a->verb == "list") {
    status = List(s, *store, *a);
  } else if (a->verb == "show") {
    status = Show(s, *store, a->id);
  } else if (a->verb == "export") {
    status = Export(s, *store, *a);
  } else {
    status = Yield(s, *store, *a);
  }
  if (!store->read_failed()) return status;
  s.err << "tarvo-cli: records: " << store->path() << " cannot be read: " << store->error() << "\n";
  return kExitFailed;
}

const bool registered = RegisterCommand(
    {.name = "records",
     .usage = "list [--serial S] [--since T] [--station N] | show ID | export --format json|csv "
              "| yield [--since T] | push",
     .help = "the station steps on record in this machine's records file",
     .min_args = 1,
     .max_args = 9,
     .run = RecordsCommand});

}  // namespace
}  // namespace tarvo::cli
