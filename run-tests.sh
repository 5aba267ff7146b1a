#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/ensure-deps.sh
bash scripts/build.sh
cd build
ctest --output-on-failure -j2
