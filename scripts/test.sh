#!/usr/bin/env bash
# Installs what the project and its tests need, builds both and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh tests
cmake -S . -B build -G Ninja -DZINTREL_TESTS=ON
cmake --build build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600
