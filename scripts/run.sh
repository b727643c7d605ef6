#!/usr/bin/env bash
# Installs what the project needs, builds Zintrel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build
if [ -x build/app/zintrel ]; then
  exec build/app/zintrel "$@"
fi
echo "Built. The window arrives with the application shell; nothing to start yet."
