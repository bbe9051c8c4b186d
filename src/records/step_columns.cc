#include "records/step_columns.h"

namespace tarvo::records {
namespace {

constexpr StepColumn kStepColumns[] = {
    {"station", true},
    {"position", true},
    {"text", false},
    {"started", false},
    {"ended", false},
    {"total", true},
    {"model_code", false},
    {"usb_serial", false},
    {"head_id", false},
    {"tof", true},
    {"ms1", true},
    {"ms2", true},
    {"vsd", true},
    {"ecn", true},
    {"destination", false},
    {"belt", false},
    {"pc", false},
    {"jig", false},
    {"model_code_hex", false},
    {"usb_serial_hex", false},
    {"head_id_hex", false},
    {"started_utc", false, true},
    {"ended_utc", false, true},
    {"machine_no", false},
    {"machine_id", false},
};

}  // namespace

std::span<const StepColumn> StepColumns() {
  return kStepColumns;
}

std::vector<StepValue> StepValues(const StepRecord& r) {
  const AdjustmentValues& a = r.adjustments;
  const StationSettingsRecord& s = r.settings;
  return {int64_t{r.station},
          int64_t{r.position},
          r.text,
          r.started,
          r.ended,
          int64_t{r.total},
          r.printer.model_code,
          r.printer.usb_serial,
          r.printer.head_id,
          int64_t{a.tof},
          int64_t{a.ms1},
          int64_t{a.ms2},
          int64_t{a.vsd},
          int64_t{a.ecn},
          s.destination,
          s.belt,
          s.pc,
          s.jig,
          r.printer.model_code_hex,
          r.printer.usb_serial_hex,
          r.printer.head_id_hex,
          r.started_utc,
          r.ended_utc,
          r.machine_no,
          r.machine_id};
}

StepRecord StepOf(std::span<const StepValue> v) {
  auto i = [&](size_t at) { return static_cast<int>(std::get<int64_t>(v[at])); };
  auto t = [&](size_t at) { return std::get<std::string>(v[at]); };
  StepRecord r;
  r.station = i(0);
  r.position = i(1);
  r.text = t(2);
  r.started = t(3);
  r.ended = t(4);
  r.total = i(5);
  r.printer = {t(6), t(7), t(8), t(18), t(19), t(20)};
  r.adjustments = {i(9), i(10), i(11), i(12), i(13)};
  r.settings = {t(14), t(15), t(16), t(17)};
  r.started_utc = t(21);
  r.ended_utc = t(22);
  r.machine_no = t(23);
  r.machine_id = t(24);
  return r;
}

std::string StepColumnList() {
  std::string list;
  for (const StepColumn& c : kStepColumns) {
    if (!list.empty()) list += ", ";
    list += c.name;
  }
  return list;
}

std::string StepColumnDefinitions() {
  std::string sql;
  for (const StepColumn& c : kStepColumns) {
    sql += "  " + std::string(c.name) + (c.integer ? " INTEGER" : " TEXT") + " NOT NULL,\n";
  }
  return sql;
}

}  // namespace tarvo::records
