#!/usr/bin/env bash
# The main job against the simulated printer: installs what is missing, builds, then runs a
# tarvo-cli session (samples/demo.session) with a scripted operator (samples/demo.script).
# The printer's state, the settings store, the wire log and the transcript go to build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null

demo=build/demo
mkdir -p "$demo"
rm -f "$demo"/printer.json "$demo"/wire.log "$demo"/transcript.log
export TARVO_CONFIG_DIR=$PWD/$demo
cd samples
../build/src/cli/tarvo-cli \
  --printer "sim:../$demo/printer.json" --virtual-time \
  --operator script:demo.script \
  --transcript "../$demo/transcript.log" --wire-log "../$demo/wire.log" \
  session demo.session
status=$?
echo "--- wire log: $demo/wire.log ($(wc -l <"../$demo/wire.log") lines), transcript: $demo/transcript.log"
exit $status
