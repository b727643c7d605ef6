#!/usr/bin/env bash
# Installs what the project needs, builds Zintrel, installs it into a folder of this checkout
# and starts the installed program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build
cmake --install build --prefix "$PWD/.local-install" > /dev/null
exec "$PWD/.local-install/bin/zintrel" "$@"
