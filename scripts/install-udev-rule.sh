#!/usr/bin/env bash
# Installs the udev rule that lets the members of group "tarvo" use the supported printers without
# root, creating the group (a system group of its own: membership gives raw access to the
# printers' EEPROM and firmware, so it is not folded into a broad group such as lp). Also makes the
# machine-wide settings folder /var/lib/tarvo writable by the group, so the program, a station host
# and tarvo-cli run by any member share one settings store.
#
#   scripts/install-udev-rule.sh [USER...]     as root; each USER is added to the group
#
# Idempotent: an existing group, rule or folder is kept (the rule is replaced by this one).
set -euo pipefail

group=tarvo
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rule="$here/packaging/udev/60-tarvo-printers.rules"
rules_dir=/etc/udev/rules.d
settings_dir=/var/lib/tarvo

if [[ $(id -u) -ne 0 ]]; then
  echo "install-udev-rule: run as root" >&2
  exit 1
fi
for user in "$@"; do
  if ! id "$user" >/dev/null 2>&1; then
    echo "install-udev-rule: no user $user" >&2
    exit 1
  fi
done

if ! getent group "$group" >/dev/null; then
  groupadd --system "$group"
  echo "install-udev-rule: created group $group"
fi

install -d -m 0755 "$rules_dir"
install -m 0644 "$rule" "$rules_dir/"
echo "install-udev-rule: installed $rules_dir/$(basename "$rule")"

install -d -m 2775 -g "$group" "$settings_dir"

for user in "$@"; do
  usermod -aG "$group" "$user"
  echo "install-udev-rule: added $user to group $group (effective at the next login)"
done

# Apply it to printers already plugged in, where udev runs (not in a container or chroot).
if command -v udevadm >/dev/null && udevadm control --reload 2>/dev/null; then
  udevadm trigger --subsystem-match=usb --action=change || true
else
  echo "install-udev-rule: udev is not running here; the rule applies from the next boot or replug"
fi
