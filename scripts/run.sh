#!/usr/bin/env bash
# Installs what building and running need, builds the program alone (no tests), installs it into
# a folder of this checkout and starts the installed program, which keeps its settings. It needs a
# graphical session (or xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DZINTREL_TESTS=OFF
cmake --build build --target zintrel
cmake --install build --prefix "$PWD/.local-install" > /dev/null
exec "$PWD/.local-install/bin/zintrel" "$@"
