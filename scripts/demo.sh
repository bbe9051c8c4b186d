#!/usr/bin/env bash
# The main job against the simulated printer: installs what is missing, builds, then runs a
# tarvo-cli session (samples/demo.session) with a scripted operator (samples/demo.script).
# The printer's state, the settings store, the wire log and the transcript go to build/demo/, the
# station folder (chart files, station settings files) is build/demo/station/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null

demo=build/demo
# A fresh station folder holding the chart files; the station settings files "1.data", "2.data"
# and "3.data" are made there.
rm -rf "$demo"
mkdir -p "$demo/station"
cp samples/*.prn "$demo/station/"
export TARVO_CONFIG_DIR=$PWD/$demo
status=0
build/src/cli/tarvo-cli \
  --printer "sim:$demo/printer.json" --virtual-time --station-dir "$demo/station" \
  --operator script:samples/demo.script \
  --transcript "$demo/transcript.log" --wire-log "$demo/wire.log" \
  session samples/demo.session || status=$?
echo "--- wire log: $demo/wire.log ($(wc -l <"$demo/wire.log") lines), transcript: $demo/transcript.log"
exit $status
