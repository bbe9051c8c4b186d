#!/usr/bin/env bash
# Installs the Debian packages needed to build and test the tool. Idempotent: packages already
# installed are skipped, and nothing is fetched when nothing is missing. Debian packages only.
# Packages named as arguments are installed as well (scripts/fuzz.sh asks for clang this way).
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  libgtest-dev libgmock-dev
  nlohmann-json3-dev libcli11-dev libxxhash-dev
  libusb-1.0-0-dev umockdev libumockdev-dev
  qt6-base-dev fonts-liberation fonts-wqy-microhei xvfb
  libsqlite3-dev libpq-dev
  postgresql  # the line database tests start a server of their own (initdb, pg_ctl)
  libcpp-httplib-dev libjs-chart.js  # tarvo-line: its HTTP server, the charts it serves
  openssl  # tarvo-line's TLS test makes its certificate
  chromium chromium-driver python3-selenium  # tarvo-line's browser test
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps: missing packages: ${missing[*]}; run as root to install them" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
