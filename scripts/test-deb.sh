#!/usr/bin/env bash
# Builds the Debian packages (build-deb/) and installs them into a clean root, then runs what was
# installed there (as root: dpkg and chroot):
#   - the packages' dependencies must be met by Debian 12 (apt-get checks them, installing
#     nothing);
#   - dpkg installs the packages into a root of their own (build-deb/root) holding only their
#     dependencies, with its own package database, and runs their maintainer scripts there;
#   - inside that root, the installed tarvo-cli runs HandleOpen on the simulated printer, and a C
#     program built with the installed header and pkg-config file calls the installed library;
#     the udev rule's group exists.
# BUILD_DIR (default build-deb) may name the build of scripts/test.sh (build): CI does so, and the
# packages are then made from what that build has built already.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh file  # file: CPack looks at each installed file with it

build=${BUILD_DIR:-build-deb}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_WERROR=ON \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
targets=(tarvo-cli fennick)
if cmake --build "$build" --target help | grep '^\.\.\. Tarvo$' >/dev/null; then targets+=(Tarvo); fi
if cmake --build "$build" --target help | grep '^\.\.\. tarvo-line$' >/dev/null; then
  targets+=(tarvo-line)
fi
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
arch=$(dpkg --print-architecture)
# An installed package by name, of this machine's architecture or of none; nothing for a virtual
# package or one not installed.
installed() { dpkg-query -W -f='${binary:Package}\n' "$1:$arch" 2>/dev/null ||
  dpkg-query -W -f='${binary:Package}\n' "$1:all" 2>/dev/null || true; }
# The installed packages a list of package names needs to run, themselves included.
needed() {
  local -A seen=()
  local queue=("$@") name p
  while ((${#queue[@]})); do
    name=${queue[0]}
    queue=("${queue[@]:1}")
    p=$(installed "$name")
    [[ -z $p || -n ${seen[$p]:-} ]] && continue
    seen[$p]=1
    mapfile -t -O "${#queue[@]}" queue < <(dpkg-query -W -f='${Depends},${Pre-Depends}\n' "$p" |
      tr ',|' '\n\n' | sed -E 's/^ *([^ (:]+).*/\1/' | grep .)
  done
  printf '%s\n' "${!seen[@]}"
}
depends() { dpkg-deb -f "$1" Depends | tr ',' '\n' | sed -E 's/^ *([^ (]+).*/\1/' |
  { grep -vE '^(libfennick|tarvo)' || true; }; }
# Everything the command line, the library and the udev rule's script need to run, with the
# shell, ldconfig and coreutils of the maintainer scripts and what groupadd loads; for the
# desktop program only the packages it names, which dpkg checks (it is not started here).
mapfile -t names < <(for d in "${debs[@]}"; do if [[ $d != */tarvo_* ]]; then depends "$d"; fi
  done | sort -u)
mapfile -t base < <(needed "${names[@]}" libc-bin libudev1 dash gcc-12-base passwd coreutils)
for d in "${debs[@]}"; do
  if [[ $d == */tarvo_* ]]; then
    while read -r n; do base+=("$(installed "$n")"); done < <(depends "$d")
  fi
done
while read -r n; do base+=("$(installed "$n")"); done < <(ldd /usr/sbin/groupadd |
  awk '$3 ~ /^\// {print $3}' |
  while read -r lib; do dpkg -S "$lib" 2>/dev/null || dpkg -S "$(realpath "$lib")"; done |
  cut -d: -f1)
mapfile -t base < <(printf '%s\n' "${base[@]}" | grep . | sort -u)
echo "test-deb: the clean root holds ${#base[@]} packages"
for p in "${base[@]}"; do
  dpkg-query -s "$p" >>"$root/var/lib/dpkg/status"
  echo >>"$root/var/lib/dpkg/status"
  dpkg-query -L "$p" >"$root/var/lib/dpkg/info/$p.list"
  dpkg-query -L "$p" | while read -r f; do if [[ -f $f || -L $f ]]; then echo "$f"; fi; done
done | tar -cf - --no-recursion -T - 2>/dev/null | tar -xf - -C "$root" --keep-directory-symlink
ln -sf dash "$root/usr/bin/sh"
# The system's users and groups as a new Debian system has them, and /dev/null for the scripts.
mkdir -p "$root/etc" "$root/dev"
mknod -m 666 "$root/dev/null" c 1 3
cp /usr/share/base-passwd/passwd.master "$root/etc/passwd"
cp /usr/share/base-passwd/group.master "$root/etc/group"
dpkg --root="$root" --force-not-root --log=/dev/null -i "${debs[@]}" >/dev/null
dpkg --root="$root" -l | awk '/^ii/ && /tarvo|fennick/ {print "test-deb: installed", $2, $3}'

test -x "$root/usr/bin/tarvo-cli"
test -f "$root/usr/include/fennick.h"
test -f "$root/usr/lib/udev/rules.d/60-tarvo-printers.rules"
grep -q '^tarvo:' "$root/etc/group"
if [[ " ${targets[*]} " == *" Tarvo "* ]]; then
  test -x "$root/usr/bin/Tarvo"
  test -f "$root/usr/share/applications/tarvo.desktop"
  test -f "$root/usr/share/icons/hicolor/scalable/apps/tarvo.svg"
  test -n "$(find "$root/usr/lib" -path '*/fennick/libfennick-qt.so')"
fi
if [[ " ${targets[*]} " == *" tarvo-line "* ]]; then
  test -x "$root/usr/bin/tarvo-line"
  test -f "$root/usr/lib/systemd/system/tarvo-line.service"
  grep -q '^tarvo-line:' "$root/etc/passwd"
  # The URL's password is for root and the service's user alone.
  [[ $(stat -c '%a %U' "$root/etc/tarvo/line.conf") == "640 root" ]]
  [[ $(stat -c '%g' "$root/etc/tarvo/line.conf") == $(awk -F: '$1 == "tarvo-line" {print $3}' "$root/etc/group") ]]
fi
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
if [[ " ${targets[*]} " == *" tarvo-line "* ]]; then
  cmd=(/usr/bin/tarvo-line --help)
  in_root >/dev/null
fi
echo "test-deb: ok"
