#!/usr/bin/env bash
# Installs the Debian packages Zintrel needs to build, run and test.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins libgl-dev
  libssl-dev openssl libidn2-dev
  libxxhash-dev xxhash
  libboost-dev libfmt-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  gnutls-bin rhash dbus dbus-x11 xvfb xauth x11-utils xdotool xclip imagemagick openbox
  lintian desktop-file-utils
  fonts-dejavu-core locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
