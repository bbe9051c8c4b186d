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
# A fresh station folder: the chart files and the demo's session and answers; the station
# settings files "1.data", "2.data", "3.data" are made there.
rm -rf "$demo"
mkdir -p "$demo/station"
cp samples/*.prn samples/demo.session samples/demo.script "$demo/station/"
export TARVO_CONFIG_DIR=$PWD/$demo
cd "$demo/station"
status=0
../../src/cli/tarvo-cli \
  --printer "sim:../printer.json" --virtual-time \
  --operator script:demo.script \
  --transcript ../transcript.log --wire-log ../wire.log \
  session demo.session || status=$?
echo "--- wire log: $demo/wire.log ($(wc -l <../wire.log) lines), transcript: $demo/transcript.log"
exit $status
