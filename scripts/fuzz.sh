#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for SECONDS (default 10) on a
# copy of its seed corpus from fuzz/corpus/, so the corpus in the tree stays as it is. Prints the
# executions and crashes of each target; a crash's input is kept in build-fuzz/crashes/TARGET/.
# Exit status 1 when any target crashed. On demand only, not part of the test suite.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail

seconds=${1:-10}
"$(dirname "${BASH_SOURCE[0]}")/install-deps.sh" clang libclang-rt-14-dev
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
targets=(fuzz_sim_state:sim_state fuzz_sim_spec:sim_spec fuzz_settings_file:settings
         fuzz_answer_lines:answer_lines fuzz_reply_reader:reply_reader fuzz_rom_0071:rom_0071
         fuzz_eeprom_data:eeprom_data)

export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVO_FUZZ=ON -DTARVO_USB=OFF >/dev/null
names=()
for t in "${targets[@]}"; do names+=("${t%%:*}"); done
cmake --build "$build" -j2 --target "${names[@]}" >/dev/null

status=0
for t in "${targets[@]}"; do
  name=${t%%:*}
  corpus=${t#*:}
  work=$(mktemp -d)
  crashes="$build/crashes/$name"
  rm -rf "$crashes"
  mkdir -p "$crashes"
  cp "$root/fuzz/corpus/$corpus/"* "$work/"
  log="$build/$name.log"
  "$build/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$work" >"$log" 2>&1 || true
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "$crashes" -type f | wc -l)
  printf '%-20s %10s executions  %d crashes\n' "$name" "${runs:-?}" "$found"
  if ((found > 0)); then
    status=1
    echo "  inputs in $crashes, log in $log"
  fi
  rm -rf "$work"
done
exit $status
