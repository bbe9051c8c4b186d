#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

args=()
build_dir=build
if [[ ${1:-} == --sanitize ]]; then
  args+=(-DTARVO_SANITIZE=ON)
  build_dir=build-asan
  export ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
fi
# The Qt tests draw their windows offscreen; no display is needed.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
BUILD_DIR=$build_dir scripts/build.sh "${args[@]}"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
