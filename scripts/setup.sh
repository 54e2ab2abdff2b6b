#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Zarvex.
# Runs as root, or through sudo when available.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev libsqlite3-dev libpcre2-dev libpng-dev zlib1g-dev
  libcurl4-openssl-dev libquantlib0-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  locales desktop-file-utils
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, for the test that numbers are written with a point whatever
# the user's locale says.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  if [ -f /etc/locale.gen ] && ! grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen > /dev/null
  fi
  $sudo locale-gen > /dev/null
fi
