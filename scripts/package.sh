#!/usr/bin/env bash
# Builds the Debian package from a release build of the program alone (build-release/), with
# Debian's hardening flags, and checks it with lintian and its metainfo with appstreamcli:
# zintrel_<version>-1_<arch>.deb in build-release/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
# Full RELRO, immediate binding, fortified functions and the rest of Debian's hardening.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZINTREL_TESTS=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags"
cmake --build build-release
(cd build-release && cpack -G DEB > /dev/null)
deb=$(ls -t build-release/zintrel_*.deb | head -1)
echo "$deb"
lintian -I "$deb" || true
metainfo=$(mktemp -d)
trap 'rm -rf "$metainfo"' EXIT
dpkg-deb -x "$deb" "$metainfo"
appstreamcli validate --no-net "$metainfo"/usr/share/metainfo/*.metainfo.xml || true
