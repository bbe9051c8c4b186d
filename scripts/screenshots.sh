#!/usr/bin/env bash
# Renders what a person sees to PNG files, offscreen, against the simulated printer in virtual
# time: the five pages (the Operation page also after a fresh printer went through Station 1 and
# the whole of Station 2), the About box, and every dialog, message box and wait window of both
# editions, into build/screenshots/. With --readme it also refreshes the picture the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target screenshots
if [[ ${1:-} == --readme ]]; then
  mkdir -p docs/images
  cp "$BUILD_DIR/screenshots/page-operation-station2-finished.png" docs/images/operation-page.png
  echo "screenshots: docs/images/operation-page.png refreshed"
fi
