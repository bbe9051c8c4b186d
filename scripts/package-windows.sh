#!/usr/bin/env bash
# Makes what a station PC receives from the Windows build (BUILD_DIR, default build-win/), in
# BUILD_DIR/dist/:
#   station/  Fennick.dll, tarvo-cli.exe, Tarvo.exe (once the build has it) and the example host
#             without debugging information, fennick.h, the example host's source and its
#             station script;
#   debug/    one NAME.debug per binary: its debugging information, kept apart. Each stripped
#             binary names its file (a .gnu_debuglink section, with a checksum), so a debugger
#             finds it put beside the binary or in a .debug folder there;
#   tarvo-setup-VERSION.exe  the installer of station/ (NSIS, packaging/windows/tarvo.nsi):
#             C:\Program Files\Tarvo, Start-menu entries, an uninstaller in "Programs and
#             Features"; /S installs (and uninstalls) silently, for line roll-outs;
#   tarvo-VERSION.zip  the same files in a folder tarvo-VERSION.
# Builds the binaries first (configuring BUILD_DIR as scripts/test-windows.sh does), checks the
# stripped files (no debugging sections, the link to their .debug file, imports that Windows XP
# SP3 has, the version resources) and tries the installer under Wine
# (scripts/test-windows-installer.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-windows-deps.sh
build=${BUILD_DIR:-build-win}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON >/dev/null

# The binaries shipped, as the build has them (packaging/windows/CMakeLists.txt).
targets=() binaries=()
while IFS=$'\t' read -r target file; do
  targets+=("$target")
  binaries+=("$file")
done <"$build/station_binaries.txt"
version=$(<"$build/station_version.txt")
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

triple=i686-w64-mingw32
dist=$(realpath -m "$build/dist")
rm -rf "$dist"
mkdir -p "$dist/station" "$dist/debug"
shipped=()
for binary in "${binaries[@]}"; do
  name=$(basename "$binary")
  debug=$dist/debug/$name.debug
  "$triple-objcopy" --only-keep-debug "$binary" "$debug"
  "$triple-objcopy" --strip-all --add-gnu-debuglink="$debug" "$binary" "$dist/station/$name"
  sections=$("$triple-objdump" -h "$dist/station/$name")
  if grep -q ' \.debug_' <<<"$sections" || ! grep -q ' \.gnu_debuglink ' <<<"$sections"; then
    echo "package-windows: $name: debugging sections left, or no link to $name.debug" >&2
    exit 1
  fi
  shipped+=("$dist/station/$name")
done
cp include/fennick.h examples/host/station_host.c examples/host/station.script "$dist/station/"

# Every shipped binary loads on Windows XP SP3.
shipped_list=$(IFS=';' && echo "${shipped[*]}")
cmake -DOBJDUMP="$triple-objdump" -DLIST=packaging/windows/xp_sp3_imports.txt -DDUMP_DIR="$build" \
  "-DBINARIES=$shipped_list" -P packaging/windows/check_imports.cmake
# The version resources that installers and support staff read, as the stripped files carry them.
resourced=() expected=()
for binary in "${shipped[@]}"; do
  case $(basename "$binary") in
    Fennick.dll) texts='FILEVERSION 0, 0, 8, 2|"FileDescription", "Fennick DLL"|"FileVersion", "0.0.8.2"|"ProductName", "Fennick Dynamic Link Library"|"ProductVersion", "0.0.8.2"' ;;
    tarvo-cli.exe) texts="\"FileVersion\", \"$version\"|\"ProductName\", \"Tarvo\"" ;;
    Tarvo.exe) texts='FILEVERSION 0, 0, 7, 6|"FileDescription", "Test Application"|"ProductName", "Tarvo Application"|"Comments", "Oriel Tarvo"|"PrivateBuild", "2002.7.19"' ;;
    *) continue ;;
  esac
  resourced+=("$binary")
  expected+=("$texts")
done
cmake -DWINDRES="$triple-windres" "-DBINARIES=$(IFS=';' && echo "${resourced[*]}")" \
  "-DEXPECTED=$(IFS=';' && echo "${expected[*]}")" -P packaging/windows/check_version_resource.cmake
for binary in "${resourced[@]}"; do
  echo "-- $(basename "$binary"):" $("$triple-windres" -i "$binary" -J coff -O rc |
    sed -n 's/^ *VALUE "\([A-Za-z]*\)", "\(.*\)"$/\1 "\2";/p')
done

# The installer and the archive of the same files.
stage=$(realpath "$build")/installer
rm -rf "$stage"
mkdir -p "$stage"
nsis_defines=()
for f in "$dist"/station/*; do
  name=$(basename "$f")
  echo "File \"$(realpath "$f")\"" >>"$stage/install.nsh"
  echo "Delete \"\$INSTDIR\\$name\"" >>"$stage/uninstall.nsh"
  if [[ $name == Tarvo.exe ]]; then nsis_defines+=(-DPROGRAM); fi
done
version4=$version
while [[ $(tr -cd . <<<"$version4" | wc -c) -lt 3 ]]; do version4+=.0; done
setup=$dist/tarvo-setup-$version.exe
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" -DFILES="$stage/install.nsh" \
  -DREMOVE="$stage/uninstall.nsh" -DOUTFILE="$setup" \
  "${nsis_defines[@]}" packaging/windows/tarvo.nsi
ln -s "$dist/station" "$stage/tarvo-$version"
(cd "$stage" && zip -q -r "$dist/tarvo-$version.zip" "tarvo-$version/")

(cd "$dist" && for f in station/* debug/* *.exe *.zip; do
  printf '%10d  %s\n' "$(stat -c %s "$f")" "$f"
done)

BUILD_DIR=$build scripts/test-windows-installer.sh "$setup" "$version"
