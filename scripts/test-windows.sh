#!/usr/bin/env bash
# The Windows tier: installs the cross compiler and Wine when missing, cross-builds Fennick.dll,
# tarvo-cli.exe and the tests that run on Windows for 32-bit Windows into build-win/, and runs
# them under Wine: the device-layer tests with the simulated printer, discovery against Wine's
# registry, the overlapped transfers against a named-pipe stand-in printer, the C hosts that
# load Fennick.dll by name and by ordinal, and the library's native dialogs, which need a
# display: without one the whole tier runs under Xvfb. Nothing is fetched at run time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-windows-deps.sh
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

build=${BUILD_DIR:-build-win}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON >/dev/null

# A Wine prefix of the build's own, made once, and one wineserver kept for the whole run (each
# program would otherwise start one). No Mono or Gecko: nothing asks to download them.
export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  wineboot -i >/dev/null 2>&1
fi

# Only what the tests below need: the cli and station tests start POSIX processes and stay on
# Linux.
targets=(fennick tarvo-cli fennick_binding_host fennick_station_host_win
  fennick_native_dialogs_test tarvo_win32_program tarvo_win32app_test)
for t in base model link dialogs protocol charts operations operators sim runtime testing win32 win32ui; do
  targets+=("tarvo_${t}_test")
done
# And every binary a station PC receives, which the import and version resource tests read.
while IFS=$'\t' read -r target _; do targets+=("$target"); done <"$build/station_binaries.txt"
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

# Left out under Wine: std::filesystem::equivalent, which the station folder test compares with,
# does not tell two names of one folder apart there. One test binary at a time: programs run side
# by side under one wineserver have been seen to stall, and no other window may take the focus
# of the native dialogs' tests (tarvo_win32ui, fennick.windows_native_dialogs).
export GTEST_FILTER=-StationDir.EmptyIsTheCurrentDirectoryAndNamesBecomeAbsolute
wineserver -p
trap 'wineserver -k 2>/dev/null; wineserver -w' EXIT
# Wine's own services start with the first program and live as long as the wineserver: started
# here, they do not hold the output of a test open, which CTest would wait for.
wineboot </dev/null >/dev/null 2>&1
# Windows of their own, without a window manager's frame: hiding one does not wait for a window
# manager that is not there. The dialog fonts carry the Traditional Chinese texts.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
for font in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "WenQuanYi Micro Hei" \
    /f >/dev/null 2>&1
done
ctest --test-dir "$build" --output-on-failure --timeout 300 \
  -R '^(tarvo_(base|model|link|dialogs|protocol|charts|operations|operators|sim|runtime|testing|win32|win32ui|win32app)|fennick\.windows_.*)$' "$@"
