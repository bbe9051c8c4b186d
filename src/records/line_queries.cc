#include "records/line_queries.h"

namespace tarvo::records {

std::string PrinterSql(const std::string& alias) {
  return "CASE WHEN coalesce(" + alias + ".head_id, '') <> '' THEN " + alias +
         ".head_id ELSE coalesce(" + alias + ".usb_serial, '') END";
}

std::string YieldCountsSql(const StepsTable& t, const std::string& where) {
  // A step naming no printer (the grease of a fresh printer) counts for the printer its station
  // names next, as the records file's own yield counts it.
  const std::string steps =
      "SELECT substr(s.started, 1, 13) AS hour, s.host, s.station, s.total, "
      "s.started, s." +
      t.at + " AS at, coalesce(nullif(" + PrinterSql("s") + ", ''), " + t.next_printer +
      ", '') AS printer FROM " + t.table + " s WHERE " + where;
  return "SELECT hour AS started, host, station, printer, count(*) AS steps, "
         "sum(CASE WHEN total = 0 THEN 1 ELSE 0 END) AS failed_steps, max(last_total) AS total "
         "FROM (SELECT hour, host, station, printer, total, first_value(total) OVER "
         "(PARTITION BY hour, host, station, printer ORDER BY started DESC, at DESC) AS last_total "
         "FROM (" +
         steps +
         ") x) y GROUP BY hour, host, station, printer ORDER BY hour, host, station, printer";
}

std::string LastAdjustmentsSql(const StepsTable& t, const std::string& where) {
  const std::string printer = "PARTITION BY " + PrinterSql("s");
  return "SELECT started, station, usb_serial, head_id, tof, ms1, ms2, vsd, ecn FROM (SELECT "
         "s.started, s.station, s.usb_serial, s.head_id, s.tof, s.ms1, s.ms2, s.vsd, s.ecn, "
         "row_number() OVER (" +
         printer + " ORDER BY s.started DESC, s." + t.at +
         " DESC) AS latest, "
         "first_value(s.started) OVER (" +
         printer + " ORDER BY s.started, s." + t.at +
         ") AS first_started, "
         "first_value(s." +
         t.at + ") OVER (" + printer + " ORDER BY s.started, s." + t.at + ") AS first_at FROM " +
         t.table + " s WHERE " + where + " AND " + PrinterSql("s") +
         " <> '') x WHERE latest = 1 ORDER BY first_started, first_at";
}

}  // namespace tarvo::records
