#!/usr/bin/env bash
# scripts/test-windows-installer.sh SETUP.EXE VERSION
# Installs the station PC's installer silently under Wine into a fresh prefix of its own
# (BUILD_DIR/installer-wineprefix, made anew each time; no Mono or Gecko), and checks what a line
# roll-out relies on: the files in C:\Program Files\Tarvo, the Start-menu entries, the entry of
# "Programs and Features"; the installed tarvo-cli.exe (and Tarvo.exe when shipped) tells VERSION;
# the installed example host loads the installed Fennick.dll and runs a station cycle on the
# simulated printer. Then the silent uninstaller must leave the prefix's drive C: and the
# uninstall key as they were before the install. Called by scripts/package-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
setup=$(realpath "$1")
version=$2
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

build=$(realpath "${BUILD_DIR:-build-win}")
work=$build/installer-test
export WINEPREFIX=$build/installer-wineprefix WINEDEBUG=-all WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX" "$work"
mkdir -p "$work"
trap 'wineserver -k 2>/dev/null || true' EXIT

fail() {
  echo "test-windows-installer: $*" >&2
  exit 1
}
# Drive C: as a list of paths, without the temporary folders (the uninstaller runs from a copy
# there) and Wine's own files that its programs touch as they start.
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . | grep -v -i -e '/temp\(/\|$\)' | LC_ALL=C sort)
}
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo'

wineboot -i >/dev/null 2>&1
wineserver -w
snapshot >"$work/before.txt"

wine "$setup" /S
wineserver -w
dir=$WINEPREFIX/drive_c/Program\ Files/Tarvo
menu=$(find "$WINEPREFIX/drive_c" -type d -path '*/Start Menu/Programs/Tarvo')
[[ -n $menu ]] || fail "no Start-menu folder Tarvo"
shipped=(Fennick.dll tarvo-cli.exe fennick_station_host_win.exe fennick.h station_host.c
  station.script uninstall.exe)
entries=("Tarvo command line.lnk" "Uninstall Tarvo.lnk")
if [[ -f $(dirname "$setup")/station/Tarvo.exe ]]; then
  shipped+=(Tarvo.exe)
  entries+=(Tarvo.lnk)
fi
for f in "${shipped[@]}"; do
  [[ -f $dir/$f ]] || fail "not installed: $f"
done
for f in "${entries[@]}"; do
  [[ -f $menu/$f ]] || fail "no Start-menu entry $f"
done
registered=$(wine reg query "$key" 2>/dev/null | tr -d '\r' | sed 's/^ *//; s/  */ /g')
for value in "DisplayName REG_SZ Tarvo" "DisplayVersion REG_SZ $version" "Publisher REG_SZ Tarvo" \
  'UninstallString REG_SZ "C:\Program Files\Tarvo\uninstall.exe"' \
  'QuietUninstallString REG_SZ "C:\Program Files\Tarvo\uninstall.exe" /S'; do
  grep -qxF "$value" <<<"$registered" || fail "uninstall key lacks $value:"$'\n'"$registered"
done
echo "test-windows-installer: installed ${#shipped[@]} files, ${#entries[@]} Start-menu entries"

# The installed binaries, each run from outside their folder.
told=$(wine "C:\\Program Files\\Tarvo\\tarvo-cli.exe" --version | tr -d '\r')
grep -qF "$version" <<<"$told" || fail "tarvo-cli.exe --version told: $told"
echo "test-windows-installer: tarvo-cli.exe --version: $told"
if [[ -f $dir/Tarvo.exe ]]; then
  told=$(wine "C:\\Program Files\\Tarvo\\Tarvo.exe" --version | tr -d '\r')
  grep -qF "$version" <<<"$told" || fail "Tarvo.exe --version told: $told"
  echo "test-windows-installer: Tarvo.exe --version: $told"
fi
# The chart files are in samples/; the settings stay out of the prefix's registry.
(cd samples && TARVO_PRINTER="sim:$work/station.json" TARVO_VIRTUAL_TIME=1 \
  TARVO_OPERATOR="script:$dir/station.script" TARVO_TRANSCRIPT="$work/station.transcript" \
  TARVO_CONFIG_DIR="$work/config" \
  wine "C:\\Program Files\\Tarvo\\fennick_station_host_win.exe" \
  "C:\\Program Files\\Tarvo\\Fennick.dll") >"$work/station.out" 2>&1 ||
  fail "the installed example host with the installed DLL failed:"$'\n'"$(cat "$work/station.out")"
echo "test-windows-installer: the installed example host ran a station cycle on the installed DLL"

# The uninstaller runs from a copy of itself in the temporary folder: wait for the copy too.
wine "C:\\Program Files\\Tarvo\\uninstall.exe" /S
wineserver -w
if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstall key is still there"; fi
snapshot >"$work/after.txt"
if ! diff -u "$work/before.txt" "$work/after.txt" >"$work/left.diff"; then
  fail "the uninstaller left drive C: otherwise than it was:"$'\n'"$(cat "$work/left.diff")"
fi
echo "test-windows-installer: the silent uninstaller removed the files, the entries and the key"
