// The line's records: "records list|show|export|yield|push" over the machine's records file.
#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/command.h"
#include "cli/one_line.h"
#include "cli/records_args.h"
#include "cli/session.h"
#include "records/line_database.h"
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
    out += (out.empty() ? "" : ", ") + OneLine(s.name) + "=" + ResultWord(s.result);
  }
  return out.empty() ? "-" : out;
}

// "12 2026-12-08T11:31:18 S2 5 2-1. Nozzle Cleaning ... | 0313AB... AB12CD | Nozzle Check=PASS
// | total Testing"
void PrintStepLine(std::ostream& out, const records::StoredStep& s) {
  const StepRecord& r = s.record;
  out << s.id << " " << OneLine(r.started) << " S" << r.station << " " << r.position << " "
      << OneLine(Trimmed(r.text)) << " | "
      << (r.printer.usb_serial.empty() ? "-" : OneLine(r.printer.usb_serial)) << " "
      << (r.printer.head_id.empty() ? "-" : OneLine(r.printer.head_id)) << " | " << SlotsText(r)
      << " | total " << TotalWord(r.total) << "\n";
}

void PrintStep(std::ostream& out, const records::StoredStep& s) {
  const StepRecord& r = s.record;
  out << "record " << s.id << " (" << s.uid << ")" << (s.sent ? ", in the line database" : "")
      << "\n"
      << "station " << r.station << ", step " << r.position << " \"" << Trimmed(r.text) << "\"\n"
      << "from " << OneLine(r.started) << " to " << OneLine(r.ended) << " on "
      << OneLine(s.origin.host) << ", tarvo " << OneLine(s.origin.tool_version) << " ("
      << OneLine(s.origin.edition) << ")\n"
      << "printer: model " << OneLine(r.printer.model_code) << ", USB S/No. "
      << OneLine(r.printer.usb_serial) << ", head ID " << OneLine(r.printer.head_id) << "\n"
      << "as stored (hex): model " << r.printer.model_code_hex << ", USB S/No. "
      << r.printer.usb_serial_hex << ", head ID " << r.printer.head_id_hex << "\n"
      << "slots: " << SlotsText(r) << "; total " << TotalWord(r.total) << "\n"
      << "adjustments: TOF " << r.adjustments.tof << " (x25 = " << r.adjustments.tof * 25
      << "), MS1 " << r.adjustments.ms1 << ", MS2 " << r.adjustments.ms2 << ", VSD "
      << r.adjustments.vsd << ", ECN " << r.adjustments.ecn << "\n"
      << "station settings: destination " << OneLine(r.settings.destination) << ", belt "
      << OneLine(r.settings.belt) << ", PC " << OneLine(r.settings.pc) << ", jig "
      << OneLine(r.settings.jig) << "\n"
      << "chart label: Machine No. " << OneLine(r.machine_no) << ", Machine ID "
      << OneLine(r.machine_id) << "\n"
      << "in UTC: from " << OneLine(r.started_utc) << " to " << OneLine(r.ended_utc) << "\n";
  if (!s.set_aside.empty()) {
    out << "set aside: the line database refused it (" << OneLine(s.set_aside) << ")\n";
  }
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
          {"station_no", s.origin.station.station_no == 0
                             ? nlohmann::json(nullptr)
                             : nlohmann::json(s.origin.station.station_no)},
          {"belt_name", s.origin.station.belt_name},
          {"pc_name", s.origin.station.pc_name},
          {"jig_no", s.origin.station.jig_no},
          {"station", r.station},
          {"position", r.position},
          {"text", r.text},
          {"started", r.started},
          {"ended", r.ended},
          {"started_utc", r.started_utc},
          {"ended_utc", r.ended_utc},
          {"machine_no", r.machine_no},
          {"machine_id", r.machine_id},
          {"total", r.total},
          {"model_code", r.printer.model_code},
          {"usb_serial", r.printer.usb_serial},
          {"head_id", r.printer.head_id},
          {"model_code_hex", r.printer.model_code_hex},
          {"usb_serial_hex", r.printer.usb_serial_hex},
          {"head_id_hex", r.printer.head_id_hex},
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
          {"sent", s.sent},
          {"set_aside", s.set_aside}};
}

// A CSV field, one line with its control characters escaped; quoted when it holds a comma or a
// quote.
std::string Csv(const std::string& field) {
  const std::string text = OneLine(field);
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

void ExportCsv(std::ostream& out, const std::vector<records::StoredStep>& steps) {
  out << "id,uid,host,tool_version,edition,station,position,text,started,ended,total,model_code,"
         "usb_serial,head_id,tof,ms1,ms2,vsd,ecn,destination,belt,pc,jig,slots,model_code_hex,"
         "usb_serial_hex,head_id_hex,started_utc,ended_utc,machine_no,machine_id\n";
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
                                  slots,
                                  r.printer.model_code_hex,
                                  r.printer.usb_serial_hex,
                                  r.printer.head_id_hex,
                                  r.started_utc,
                                  r.ended_utc,
                                  r.machine_no,
                                  r.machine_id};
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
  s.out << "\nhistory of " << OneLine(serial) << ":\n";
  for (const auto& other : store.Steps({serial, "", 0})) PrintStepLine(s.out, other);
  for (const auto& j : store.Journal(serial)) {
    s.out << "journal " << j.id << " " << OneLine(j.record.time) << " "
          << OneLine(j.record.operation) << " " << AreaName(j.record.area) << " "
          << CheckName(j.record.check) << "\n";
  }
  for (const auto& m : store.DotWeights(serial)) {
    s.out << "dot weight " << m.id << " " << OneLine(m.record.time) << " " << OneLine(m.record.kind)
          << " average " << m.record.average << " " << (m.record.passed ? "PASS" : "FAIL") << "\n";
  }
  return kExitOk;
}

int Export(Session& s, records::LocalStore& store, const RecordsArgs& a) {
  const auto steps = store.Steps({a.serial, a.since, a.station});
  if (a.format == "json") {
    nlohmann::json all = nlohmann::json::array();
    for (const auto& step : steps) all.push_back(StepJson(step));
    // Every field is UTF-8 as stored; should one not be, it is replaced, never the export ended.
    s.out << all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return kExitOk;
  }
  ExportCsv(s.out, steps);
  return kExitOk;
}

int Yield(Session& s, records::LocalStore& store, const RecordsArgs& a) {
  for (const records::YieldRow& row : store.Yield(a.since)) {
    s.out << OneLine(row.day) << " station " << row.station << ": " << row.printers << " printers, "
          << row.passed << " passed, " << row.failed << " failed";
    if (row.unidentified > 0) {
      s.out << ", " << row.unidentified << " step" << (row.unidentified == 1 ? "" : "s")
            << " naming no printer";
    }
    if (!row.failed_slots.empty()) {
      s.out << "; failed most:";
      for (size_t i = 0; i < row.failed_slots.size() && i < 3; ++i) {
        s.out << (i ? "," : "") << " " << OneLine(row.failed_slots[i].first) << " ("
              << row.failed_slots[i].second << ")";
      }
    }
    s.out << "\n";
  }
  return kExitOk;
}

// Sends what can be sent, then lists what the line database refused; fails while anything
// waits or is set aside.
int Push(Session& s, bool retry) {
  std::string error;
  int64_t sent = 0;
  const bool ok = s.records->Push(&error, &sent, retry);
  if (!ok) s.err << "tarvo-cli: records push: " << error << "\n";
  s.out << "records push: " << sent << " sent\n";
  records::LocalStore* store = s.records->Local();
  const auto set_aside = store ? store->SetAsideRecords() : std::vector<records::SetAsideRecord>{};
  if (!set_aside.empty()) {
    s.out << "records push: " << set_aside.size()
          << " set aside, refused by the line database (\"records push --retry\" offers them "
             "again):\n";
    for (const records::SetAsideRecord& r : set_aside) {
      s.out << "  " << records::KindName(r.kind) << " " << r.id << " (" << r.uid
            << "): " << OneLine(r.reason) << "\n";
    }
  }
  return ok && set_aside.empty() ? kExitOk : kExitFailed;
}

// The administrator's setup of the line database, or its SQL for psql.
int SetupDb(Session& s, bool print_sql) {
  if (print_sql) {
    s.out << records::SetupSql();
    return kExitOk;
  }
  s.out << "records setup-db: the first run after an upgrade counts the steps already there for "
           "the dashboard (minutes for a year of a line)\n"
        << std::flush;
  std::string error;
  if (!s.records->SetupLineDatabase(&error)) {
    s.err << "tarvo-cli: records setup-db: " << error << "\n";
    return kExitFailed;
  }
  s.out << "records setup-db: the tables and the roles \"" << records::kStationRole
        << "\" (stations: insert) and \"" << records::kReaderRole
        << "\" (reports: read) are in place\n";
  return kExitOk;
}

int RecordsCommand(Session& s, std::span<const std::string> args) {
  std::string problem;
  std::optional<RecordsArgs> a = ParseRecordsArgs(args, &problem);
  if (!a) {
    s.err << "tarvo-cli: records: " << problem << "\n";
    return kExitUsage;
  }
  if (a->verb == "push") return Push(s, a->retry);
  if (a->verb == "setup-db") return SetupDb(s, a->print_sql);
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
              "| yield [--since T] | push [--retry] | setup-db [--print-sql]",
     .help = "the station steps on record in this machine's records file "
             "($TARVO_DATA_DIR/records.sqlite, else beside the settings in $TARVO_CONFIG_DIR); "
             "the line database: $TARVO_RECORDS_URL, else the setting RecordsUrl",
     .min_args = 1,
     .max_args = 9,
     .run = RecordsCommand});

}  // namespace
}  // namespace tarvo::cli
