#!/usr/bin/env bash
# Builds the libFuzzer target for the unit link's receive path in its own folder (clang,
# sanitizers) and runs it for a bounded time. Exits non-zero when the fuzzer finds a crash, a
# hang or a leak; the input that did it is kept in build-fuzz/fuzz-artifacts/.
#
#   FUZZ_SECONDS   how long to fuzz (default 60)
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
cmake --build "$build" --target velkor_fuzz_receive -j "$jobs"

corpus="$build/fuzz-corpus/receive"
artifacts="$build/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts"

# The first folder collects what the fuzzer finds; the seeds are only read.
status=0
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}" \
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
  "$build/velkor_fuzz_receive" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -dict="$root/tests/fuzz/receive.dict" \
  -artifact_prefix="$artifacts/" \
  -print_final_stats=1 \
  "$corpus" "$root/tests/fuzz/seeds" || status=$?

if [ "$status" -ne 0 ]; then
  echo "fuzz.sh: the fuzzer stopped with status $status; inputs that did it:" >&2
  ls -l "$artifacts" >&2 || true
  echo "fuzz.sh: replay one with: $build/velkor_fuzz_receive <file>" >&2
  exit "$status"
fi
echo "fuzz.sh: no crash in ${seconds} s"
