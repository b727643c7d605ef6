#!/usr/bin/env bash
# Builds the Debian package from a release build of the program alone (build-release/) and
# checks it with lintian: zintrel_<version>-1_<arch>.deb in build-release/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZINTREL_TESTS=OFF
cmake --build build-release
(cd build-release && cpack -G DEB > /dev/null)
deb=$(ls -t build-release/zintrel_*.deb | head -1)
echo "$deb"
if command -v lintian > /dev/null; then lintian --info "$deb" || true; fi
