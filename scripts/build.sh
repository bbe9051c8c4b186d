#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/). Extra arguments go to cmake configure.
# Warnings are errors in every build, so the demo and the tests share one build.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
# Paths below the checkout's parent are hashed relative, so work trees and fresh clones beside
# each other share ccache's objects.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd .. && pwd)} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DTARVO_WERROR=ON \
  "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
