#!/usr/bin/env bash
# Builds the desktop program and opens the bundled example cave in it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target kvistrel
exec build/src/kvistrel examples/Kvitberghola.grt
