#!/usr/bin/env bash
# Configures build/ and builds the targets named, or everything when none is: the tool at
# build/velkor, the simulated unit at build/velkor-unitsim. ccache is used when it is installed.
# Usage: build.sh [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
[[ $# -gt 0 ]] && targets=(--target "$@")
cmake --build build -j"$(nproc)" "${targets[@]}"
