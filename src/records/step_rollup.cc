#include "records/step_rollup.h"

#include "records/line_queries.h"

namespace tarvo::records {

std::string StepRollupSql() {
  // The steps' table is locked against the stations' inserts for the rest of the setup's
  // transaction, so a first fill and the trigger see the same steps, each once.
  return std::string() +
         R"sql(LOCK TABLE tarvo_steps IN SHARE ROW EXCLUSIVE MODE;
CREATE TABLE IF NOT EXISTS tarvo_step_hours (
  hour TEXT NOT NULL,
  host TEXT NOT NULL,
  station INTEGER NOT NULL,
  printer TEXT NOT NULL,
  steps INTEGER NOT NULL,
  failed_steps INTEGER NOT NULL,
  last_started TEXT NOT NULL,
  last_total INTEGER NOT NULL,
  named_first TEXT,
  named_last TEXT,
  usb_serial TEXT,
  head_id TEXT,
  tof INTEGER,
  ms1 INTEGER,
  ms2 INTEGER,
  vsd INTEGER,
  ecn INTEGER,
  PRIMARY KEY (hour, host, station, printer)
) WITH (fillfactor = 70);
CREATE TABLE IF NOT EXISTS tarvo_unnamed_steps (
  host TEXT NOT NULL,
  station INTEGER NOT NULL,
  started TEXT NOT NULL,
  total INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS tarvo_unnamed_steps_by_station
  ON tarvo_unnamed_steps (host, station, started);
CREATE INDEX IF NOT EXISTS tarvo_unnamed_steps_by_started ON tarvo_unnamed_steps (started);

-- One step counted for `p_printer` in its hour; `named` is the step itself when it names the
-- printer (its adjustments then count too), null for a step counted for the printer named next.
-- One upsert: its conflict is found through the key whatever the planner makes of the table.
CREATE OR REPLACE FUNCTION tarvo_count_step(p_printer TEXT, p_host TEXT, p_station INTEGER,
    p_started TEXT, p_total INTEGER, named tarvo_steps) RETURNS void LANGUAGE plpgsql AS $$
BEGIN
  INSERT INTO tarvo_step_hours AS h (hour, host, station, printer, steps, failed_steps,
      last_started, last_total, named_first, named_last, usb_serial, head_id, tof, ms1, ms2, vsd,
      ecn)
    VALUES (substr(p_started, 1, 13), p_host, p_station, p_printer, 1, (p_total = 0)::int,
      p_started, p_total, named.started, named.started, named.usb_serial, named.head_id,
      named.tof, named.ms1, named.ms2, named.vsd, named.ecn)
    ON CONFLICT (hour, host, station, printer) DO UPDATE SET
      steps = h.steps + 1,
      failed_steps = h.failed_steps + excluded.failed_steps,
      last_total = CASE WHEN excluded.last_started >= h.last_started
                        THEN excluded.last_total ELSE h.last_total END,
      last_started = greatest(h.last_started, excluded.last_started),
      named_first = least(h.named_first, excluded.named_first),
      -- The adjustments of the latest step naming the printer, of the later arrival of two of
      -- the same second; one sent again after a refusal leaves those of a later one.
      (named_last, usb_serial, head_id, tof, ms1, ms2, vsd, ecn) = (
        SELECT v.named_last, v.usb_serial, v.head_id, v.tof, v.ms1, v.ms2, v.vsd, v.ecn
        FROM (VALUES (excluded.named_last, 1, excluded.usb_serial, excluded.head_id,
                      excluded.tof, excluded.ms1, excluded.ms2, excluded.vsd, excluded.ecn),
                     (h.named_last, 0, h.usb_serial, h.head_id, h.tof, h.ms1, h.ms2, h.vsd,
                      h.ecn))
          AS v(named_last, arrival, usb_serial, head_id, tof, ms1, ms2, vsd, ecn)
        ORDER BY v.named_last DESC NULLS LAST, v.arrival DESC LIMIT 1);
END
$$;

)sql"
         R"sql(
CREATE OR REPLACE FUNCTION tarvo_roll_up(s tarvo_steps) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
  printer TEXT := )sql" +
         PrinterSql("s") + R"sql(;
  next_printer TEXT;
  u RECORD;
BEGIN
  IF printer = '' THEN
    SELECT )sql" +
         PrinterSql("n") + R"sql( INTO next_printer FROM tarvo_steps n
      WHERE n.host = s.host AND n.station = s.station AND n.started > s.started
        AND )sql" +
         PrinterSql("n") + R"sql( <> ''
      ORDER BY n.started, n.ctid LIMIT 1;
    IF next_printer IS NULL THEN
      INSERT INTO tarvo_unnamed_steps (host, station, started, total)
        VALUES (s.host, s.station, s.started, s.total);
    ELSE
      PERFORM tarvo_count_step(next_printer, s.host, s.station, s.started, s.total, NULL);
    END IF;
    RETURN;
  END IF;
  FOR u IN DELETE FROM tarvo_unnamed_steps x
      WHERE x.host = s.host AND x.station = s.station AND x.started <= s.started
      RETURNING x.started, x.total LOOP
    PERFORM tarvo_count_step(printer, s.host, s.station, u.started, u.total, NULL);
  END LOOP;
  PERFORM tarvo_count_step(printer, s.host, s.station, s.started, s.total, s);
END
$$;

-- The stations may insert steps only; the rollup is kept with its owner's rights.
CREATE OR REPLACE FUNCTION tarvo_roll_up_step() RETURNS trigger LANGUAGE plpgsql
    SECURITY DEFINER AS $$
BEGIN
  PERFORM tarvo_roll_up(NEW);
  RETURN NULL;
END
$$;
DO $$
BEGIN
  EXECUTE format('ALTER FUNCTION tarvo_count_step(TEXT, TEXT, INTEGER, TEXT, INTEGER, tarvo_steps) '
                 'SET search_path = %I, pg_temp', current_schema());
  EXECUTE format('ALTER FUNCTION tarvo_roll_up(tarvo_steps) SET search_path = %I, pg_temp',
                 current_schema());
  -- A station's connection lasts; a plan kept from when the tables were small would scan them.
  ALTER FUNCTION tarvo_roll_up(tarvo_steps) SET plan_cache_mode = force_custom_plan;
  EXECUTE format('ALTER FUNCTION tarvo_roll_up_step() SET search_path = %I, pg_temp',
                 current_schema());
END
$$;
REVOKE ALL ON FUNCTION tarvo_count_step(TEXT, TEXT, INTEGER, TEXT, INTEGER, tarvo_steps),
  tarvo_roll_up(tarvo_steps), tarvo_roll_up_step() FROM PUBLIC;
DROP TRIGGER IF EXISTS tarvo_steps_roll_up ON tarvo_steps;
CREATE TRIGGER tarvo_steps_roll_up AFTER INSERT ON tarvo_steps
  FOR EACH ROW EXECUTE FUNCTION tarvo_roll_up_step();

-- Every step leaves a row in one of the two; both empty beside steps: made by this setup.
DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM tarvo_step_hours) AND NOT EXISTS (SELECT FROM tarvo_unnamed_steps)
  THEN
    PERFORM tarvo_roll_up(s) FROM tarvo_steps s ORDER BY s.host, s.station, s.started, s.ctid;
    -- Each step left a row version behind; the rollup is read in hours, so that order.
    CLUSTER tarvo_step_hours USING tarvo_step_hours_pkey;
    ANALYZE tarvo_step_hours;
  END IF;
END
$$;
REVOKE ALL ON tarvo_step_hours, tarvo_unnamed_steps FROM PUBLIC, tarvo_station, tarvo_reader;
GRANT SELECT ON tarvo_step_hours, tarvo_unnamed_steps TO tarvo_reader;
)sql";
}

std::string RollupYieldCountsSql(const std::string& hours, const std::string& unnamed) {
  return "SELECT hour AS started, host, station, printer, steps::bigint AS steps, "
         "failed_steps::bigint AS failed_steps, last_total AS total FROM tarvo_step_hours WHERE " +
         hours +
         " UNION ALL SELECT substr(started, 1, 13), host, station, '', count(*), "
         "sum(CASE WHEN total = 0 THEN 1 ELSE 0 END), max(total) FROM tarvo_unnamed_steps "
         "WHERE " +
         unnamed + " GROUP BY 1, 2, 3 ORDER BY 1, 2, 3, 4";
}

std::string RollupLastAdjustmentsSql(const std::string& hours) {
  return "SELECT started, station, usb_serial, head_id, tof, ms1, ms2, vsd, ecn FROM (SELECT "
         "named_last AS started, station, usb_serial, head_id, tof, ms1, ms2, vsd, ecn, printer, "
         "row_number() OVER (PARTITION BY printer ORDER BY named_last DESC, station DESC) AS "
         "latest, min(named_first) OVER (PARTITION BY printer) AS first_started "
         "FROM tarvo_step_hours WHERE named_last IS NOT NULL AND " +
         hours + ") x WHERE latest = 1 ORDER BY first_started, printer";
}

std::optional<std::string> HourBound(const std::string& time) {
  if (time.size() == 10) return time;
  if (time.size() < 13 || time[10] != 'T') return std::nullopt;
  const std::string rest = time.substr(13);
  if (rest.empty() || rest == ":00" || rest == ":00:00") return time.substr(0, 13);
  return std::nullopt;
}

}  // namespace tarvo::records
