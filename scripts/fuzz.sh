#!/usr/bin/env bash
# Builds every libFuzzer target (tests/fuzz/fuzz_NAME.cpp becomes velkor_fuzz_NAME) in its own
# folder (clang, sanitizers) and runs each in turn, sharing the time between them. Exits non-zero
# when a fuzzer finds a crash, a hang or a leak; the input that did it is kept in
# build-fuzz/fuzz-artifacts/NAME/. A target reads tests/fuzz/NAME.dict and tests/fuzz/seeds-NAME/
# when they are there.
#
#   FUZZ_SECONDS   how long to fuzz, all targets together (default 60)
#   FUZZ_BUILD_DIR build folder (default build-fuzz at the top of the repository)
#   FUZZ_JOBS      parallel compile jobs (default: the number of cores)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-$(nproc)}"

# libFuzzer takes 0 as "no limit"; this script always stops.
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "fuzz.sh: FUZZ_SECONDS must be a whole number of seconds, 1 or more, not '$seconds'" >&2
  exit 2
fi

for tool in clang clang++ cmake ninja; do
  if ! command -v "$tool" >/dev/null; then
    echo "fuzz.sh: $tool is missing (apt-get install clang libclang-rt-14-dev cmake ninja-build)" >&2
    exit 2
  fi
done

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DVELKOR_FUZZ=ON -DVELKOR_TESTS=OFF -DVELKOR_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"

targets=()
for src in "$root"/tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  targets+=("${name#fuzz_}")
done
share=$(( seconds / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1

for name in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$name"
  artifacts="$build/fuzz-artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  extra=()
  [ -f "$root/tests/fuzz/$name.dict" ] && extra+=("-dict=$root/tests/fuzz/$name.dict")
  seeds=()
  [ -d "$root/tests/fuzz/seeds-$name" ] && seeds+=("$root/tests/fuzz/seeds-$name")

  # The first folder collects what the fuzzer finds; the seeds are only read.
  status=0
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}" \
  UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
    "$build/velkor_fuzz_$name" \
    -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 \
    "${extra[@]}" \
    -artifact_prefix="$artifacts/" \
    -print_final_stats=1 \
    "$corpus" "${seeds[@]}" || status=$?

  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: velkor_fuzz_$name stopped with status $status; inputs that did it:" >&2
    ls -l "$artifacts" >&2 || true
    echo "fuzz.sh: replay one with: $build/velkor_fuzz_$name <file>" >&2
    exit "$status"
  fi
  echo "fuzz.sh: velkor_fuzz_$name: no crash in ${share} s"
done
