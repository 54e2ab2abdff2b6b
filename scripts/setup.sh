#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Zarvex.
# Runs as root, or through sudo when it is there. The package manager's own output goes to a
# log file (ZARVEX_SETUP_LOG, default build/setup.log); this script says what it does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
log=${ZARVEX_SETUP_LOG:-$root/build/setup.log}
mkdir -p "$(dirname "$log")"

# as_root COMMAND...: as it is when root, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo > /dev/null; then
    sudo "$@"
  else
    echo "setup: installing packages needs root: run this as root, or install sudo" >&2
    exit 1
  fi
}

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev libsqlite3-dev libpcre2-dev libpng-dev zlib1g-dev
  libcurl4-openssl-dev libquantlib0-dev libmicrohttpd-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  locales desktop-file-utils
  clang libclang-rt-14-dev
  ca-certificates openssl python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "  installing ${#missing[@]} Debian packages (about a minute; apt-get's output: $log)"
  export DEBIAN_FRONTEND=noninteractive
  if ! { as_root apt-get update && as_root apt-get install -y --no-install-recommends \
      "${missing[@]}"; } > "$log" 2>&1; then
    tail -n 20 "$log" >&2
    echo "setup: apt-get failed (whole output in $log)" >&2
    exit 1
  fi
else
  echo "  all Debian packages are there"
fi

# A locale with a decimal comma, for the test that numbers are written with a point whatever
# the user's locale says.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  if [ -f /etc/locale.gen ] && ! grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen > /dev/null
  fi
  as_root locale-gen >> "$log" 2>&1
fi
