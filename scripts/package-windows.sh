#!/usr/bin/env bash
# Makes what a station PC receives from the Windows build (BUILD_DIR, default build-win/), in
# BUILD_DIR/dist/:
#   station/  Fennick.dll, tarvo-cli.exe and the example host without debugging information,
#             fennick.h, the example host's source and its station script;
#   debug/    one NAME.debug per binary: its debugging information, kept apart. Each stripped
#             binary names its file (a .gnu_debuglink section, with a checksum), so a debugger
#             finds it put beside the binary or in a .debug folder there.
# Builds the three binaries first (configuring BUILD_DIR as scripts/test-windows.sh does when it
# is not configured), and checks the stripped files: no debugging sections, the link to their
# .debug file, imports that Windows XP SP3 has.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-win}
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target fennick tarvo-cli fennick_station_host_win

triple=i686-w64-mingw32
dist=$build/dist
rm -rf "$dist"
mkdir -p "$dist/station" "$dist/debug"
binaries=(src/library/Fennick.dll src/cli/tarvo-cli.exe
  src/library/windows/fennick_station_host_win.exe)
for binary in "${binaries[@]}"; do
  name=$(basename "$binary")
  debug=$dist/debug/$name.debug
  "$triple-objcopy" --only-keep-debug "$build/$binary" "$debug"
  "$triple-objcopy" --strip-all --add-gnu-debuglink="$debug" "$build/$binary" "$dist/station/$name"
  sections=$("$triple-objdump" -h "$dist/station/$name")
  if grep -q ' \.debug_' <<<"$sections" || ! grep -q ' \.gnu_debuglink ' <<<"$sections"; then
    echo "package-windows: $name: debugging sections left, or no link to $name.debug" >&2
    exit 1
  fi
done
cp include/fennick.h examples/host/station_host.c examples/host/station.script "$dist/station/"

cmake -DOBJDUMP="$triple-objdump" -DLIST=packaging/windows/xp_sp3_imports.txt -DDUMP_DIR="$build" \
  "-DBINARIES=$dist/station/Fennick.dll;$dist/station/tarvo-cli.exe" \
  -P packaging/windows/check_imports.cmake >/dev/null
(cd "$dist" && for f in station/* debug/*; do
  printf '%10d  %s\n' "$(stat -c %s "$f")" "$f"
done)
