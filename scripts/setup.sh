#!/usr/bin/env bash
# Installs the Debian packages Zintrel needs to build and run; "tests" adds what the tests need,
# "package" what making and checking the Debian package needs:
#   bash scripts/setup.sh [tests] [package]
set -euo pipefail

# Building and running.
packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins libgl-dev
  libssl-dev libidn2-dev libxxhash-dev libboost-dev libfmt-dev
  fonts-dejavu-core
)
for group in "$@"; do
  case "$group" in
    tests)
      packages+=(
        googletest libgtest-dev libgmock-dev libbenchmark-dev
        openssl xxhash gnutls-bin rhash dbus dbus-x11 xvfb xauth x11-utils xdotool xclip imagemagick openbox
        at-spi2-core python3-pyatspi qt6-gtk-platformtheme
        lintian desktop-file-utils appstream locales
      ) ;;
    package) packages+=(dpkg-dev lintian appstream) ;;
    *) echo "setup.sh: unknown group $group (tests, package)" >&2; exit 2 ;;
  esac
done

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
