#!/usr/bin/env bash
# Installs what the Windows build and its tests need, beside scripts/install-deps.sh: the
# mingw-w64 cross compiler for 32-bit Windows (POSIX threads), the googletest sources it builds
# its tests with, and Wine with its 32-bit half (through Debian's i386 architecture) to run them;
# Xvfb and the Chinese dialog font for the tests of the library's native windows; NSIS and zip
# for the station PC's installer and archive (scripts/package-windows.sh).
# Idempotent: nothing is fetched when nothing is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev googletest
  wine wine32:i386
  xvfb xauth fonts-wqy-microhei
  nsis zip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
((${#missing[@]} == 0)) && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "install-windows-deps: missing packages: ${missing[*]}; run as root to install them" >&2
  exit 1
fi
echo "install-windows-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
