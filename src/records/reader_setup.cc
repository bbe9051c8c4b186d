#include "records/reader_setup.h"

namespace tarvo::records {

std::string ReaderSetupSql() {
  // The dashboard's questions: each station's last step, a range of days, a printer by any of
  // its names, the failed steps of a range; and a notification per inserting statement, so a
  // reader learns of a record without asking.
  return R"sql(CREATE INDEX IF NOT EXISTS tarvo_steps_by_station ON tarvo_steps (host, station, started);
CREATE INDEX IF NOT EXISTS tarvo_steps_by_head ON tarvo_steps (head_id);
CREATE INDEX IF NOT EXISTS tarvo_steps_by_machine_id ON tarvo_steps (machine_id);
CREATE INDEX IF NOT EXISTS tarvo_steps_failed ON tarvo_steps (started) WHERE total = 0;
CREATE INDEX IF NOT EXISTS tarvo_journal_by_head ON tarvo_journal (head_id);
CREATE INDEX IF NOT EXISTS tarvo_dot_weights_by_time ON tarvo_dot_weights (time);
CREATE INDEX IF NOT EXISTS tarvo_dot_weights_by_head ON tarvo_dot_weights (head_id);
CREATE OR REPLACE FUNCTION tarvo_notify_record() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_notify('tarvo_records', TG_TABLE_NAME);
  RETURN NULL;
END
$$;
DROP TRIGGER IF EXISTS tarvo_steps_notify ON tarvo_steps;
CREATE TRIGGER tarvo_steps_notify AFTER INSERT ON tarvo_steps
  FOR EACH STATEMENT EXECUTE FUNCTION tarvo_notify_record();
DROP TRIGGER IF EXISTS tarvo_journal_notify ON tarvo_journal;
CREATE TRIGGER tarvo_journal_notify AFTER INSERT ON tarvo_journal
  FOR EACH STATEMENT EXECUTE FUNCTION tarvo_notify_record();
DROP TRIGGER IF EXISTS tarvo_dot_weights_notify ON tarvo_dot_weights;
CREATE TRIGGER tarvo_dot_weights_notify AFTER INSERT ON tarvo_dot_weights
  FOR EACH STATEMENT EXECUTE FUNCTION tarvo_notify_record();
)sql";
}

}  // namespace tarvo::records
