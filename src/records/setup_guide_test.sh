#!/bin/sh
# Follows "Setting up the line database" of src/records/README.md command by command against a
# running PostgreSQL server, as a line engineer would, then checks that a station's records
# arrive and that a report can read them.
#   setup_guide_test.sh README TARVO_CLI
# The environment names the server: PGHOST (its socket folder) and PGUSER (a superuser, standing
# in for the system user "postgres"); localhost in the guide's URLs becomes that socket.
set -eu
readme=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TARVO_CONFIG_DIR="$work/config" TARVO_DATA_DIR="$work/data" PGDATABASE=postgres
unset TARVO_RECORDS_URL

# The commands: the indented lines of the section's code blocks.
awk '/^## Setting up the line database/ { on = 1; next } /^## / { on = 0 }
     on && /^        [^ ]/ { sub(/^        /, ""); print }' "$readme" >"$work/commands"
[ "$(wc -l <"$work/commands")" -ge 6 ] || { echo "no commands found in $readme"; exit 1; }
sed -e 's/^sudo -u postgres //' -e 's#@localhost/#@/#g' -e "s#tarvo-cli #\"$cli\" #g" \
  "$work/commands" >"$work/commands.sh"
n=0
while IFS= read -r command; do
  n=$((n + 1))
  echo "guide step $n: $command"
  sh -c "$command" || { echo "guide step $n failed"; exit 1; }
done <"$work/commands.sh"

# A station's write goes on record and reaches the line database through the URL in the
# settings; the report role reads it.
url=postgresql://station01:station01-secret@/tarvo_line
printf 'enter AB12CD\nok\n' >"$work/answers"
"$cli" --printer "sim:$work/printer.json" --virtual-time --operator "script:$work/answers" SetHeadID
"$cli" records push | grep -q '^records push: 0 sent$'
count=$(psql -At postgresql://reports:reports-secret@/tarvo_line \
  -c "SELECT count(*) FROM tarvo_journal WHERE head_id = 'AB12CD'")
[ "$count" -ge 1 ] || { echo "the station's journal entries did not arrive ($count)"; exit 1; }
# The station's role may not change what is there.
if psql -At "$url" -c "DELETE FROM tarvo_journal" 2>/dev/null; then
  echo "the station's role could delete"
  exit 1
fi
echo "the guide works"
