#!/usr/bin/env bash
# Installs what is missing, builds everything (the tests, the benchmarks and what the demo
# needs), and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/ensure-deps.sh
bash scripts/build.sh
cd build
ctest --output-on-failure -j2
