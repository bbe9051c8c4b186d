#!/usr/bin/env bash
# The full production line against a PostgreSQL server of the test's own: eight stations at once,
# PRINTERS printers each (default 25) through both stations, in virtual time. Prints the wall
# time and what records cost a step (the time in the record keeper, the bytes in the records
# files and the line database). The suite runs the same test (with 25 printers).
#   scripts/line_run.sh [PRINTERS]        (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
TARVO_LINE_PRINTERS=${1:-25} exec "$build_dir/src/records/tarvo_records_test" \
  --gtest_filter='LineDatabaseLineTest.*'
