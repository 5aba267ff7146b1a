#!/usr/bin/env bash
# Configures and builds everything into build/ (the tool at build/velkor, the simulated unit at
# build/velkor-unitsim).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
