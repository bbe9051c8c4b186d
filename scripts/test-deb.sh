#!/usr/bin/env bash
# Builds the Debian packages (build-deb/) and installs them into a clean root, then runs what was
# installed there (as root: dpkg and chroot):
#   - the packages' dependencies must be met by Debian 12 (apt-get checks them, installing
#     nothing);
#   - dpkg installs the packages into a root of their own (build-deb/root) holding only their
#     dependencies, with its own package database, and runs their maintainer scripts there;
#   - inside that root, the installed tarvo-cli runs HandleOpen on the simulated printer, and a C
#     program built with the installed header and pkg-config file calls the installed library.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=${BUILD_DIR:-build-deb}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
targets=(tarvo-cli fennick)
if cmake --build "$build" --target help | grep -q '^\.\.\. tarvo$'; then targets+=(tarvo); fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/*.deb)
echo "test-deb: built ${debs[*]##*/}"

# Every dependency the packages declare is available here (Debian 12).
apt-get install --simulate -qq "${debs[@]/#/./}" >/dev/null

# The clean root: nothing but the packages the debs depend on, taken from this machine with
# their package database entries, and the shell and ldconfig of the maintainer scripts. dpkg
# then checks the dependencies itself and runs the scripts inside the root.
root=$PWD/$build/root
rm -rf "$root"
mkdir -p "$root"/var/lib/dpkg/{info,updates,triggers} "$root"/tmp "$root"/usr/{bin,sbin,lib,lib64}
for d in bin sbin lib lib64; do ln -s usr/$d "$root/$d"; done
touch "$root"/var/lib/dpkg/available
# What the debs depend on (but each other), and what those need to load and to run the scripts.
mapfile -t base < <(for d in "${debs[@]}"; do dpkg-deb -f "$d" Depends; done | tr ',' '\n' |
  sed -E 's/^ *([^ (]+).*/\1/' | grep -vE '^(libfennick|tarvo)' | grep . | sort -u)
base+=(libc-bin libudev1 dash gcc-12-base)
arch=$(dpkg --print-architecture)
for p in "${base[@]/%/:$arch}"; do
  dpkg-query -s "$p" >>"$root/var/lib/dpkg/status"
  echo >>"$root/var/lib/dpkg/status"
  dpkg-query -L "$p" >"$root/var/lib/dpkg/info/$(dpkg-query -W -f='${binary:Package}' "$p").list"
  dpkg-query -L "$p" | while read -r f; do if [[ -f $f || -L $f ]]; then echo "$f"; fi; done
done | tar -cf - --no-recursion -T - 2>/dev/null | tar -xf - -C "$root" --keep-directory-symlink
ln -sf dash "$root/usr/bin/sh"
dpkg --root="$root" --force-not-root --log=/dev/null -i "${debs[@]}" >/dev/null
dpkg --root="$root" -l | awk '/^ii/ && /tarvo|fennick/ {print "test-deb: installed", $2, $3}'

test -x "$root/usr/bin/tarvo-cli"
test -f "$root/usr/include/fennick.h"
test -f "$root/usr/lib/udev/rules.d/60-tarvo-printers.rules"
libdir=$(dirname "$(cd "$root" && find usr/lib -name 'libfennick.so.0' | head -1)")

work=$root/tmp/work
mkdir -p "$work"
in_root() { env -i TARVO_CONFIG_DIR=/tmp/work "$@" /usr/sbin/chroot "$root" "${cmd[@]}"; }
cmd=(/usr/bin/tarvo-cli --printer sim:/tmp/work/printer.json --virtual-time HandleOpen)
in_root

# A host built against the installed header and pkg-config file, linked with the installed
# library.
cat >"$work/host.c" <<'C'
#include <fennick.h>
#include <stdio.h>
int main(void) {
  unsigned char opened = HandleOpen();
  int32_t closed = HandleClose();
  printf("HandleOpen %d HandleClose %d\n", opened, (int)closed);
  return opened == 1 && closed != 0 ? 0 : 1;
}
C
# shellcheck disable=SC2046
cc -o "$work/host" "$work/host.c" $(PKG_CONFIG_PATH=$root/$libdir/pkgconfig pkg-config --cflags --libs fennick)
: >"$work/empty.script"
cmd=(/tmp/work/host)
in_root TARVO_PRINTER=sim:/tmp/work/lib.json TARVO_VIRTUAL_TIME=1 TARVO_OPERATOR=script:/tmp/work/empty.script
echo "test-deb: ok"
