#!/usr/bin/env bash
# Lists what the receive fuzz target leaves out of the unit link: every function of src/link that
# none of its inputs entered, and every source file of src/link it does not hold at all, except
# the files that hold no conversation with the unit (named, with the reason, in
# tests/fuzz/list_unreached.py). Nothing listed (exit 0): every exchange, every timer and every way
# an answer can end is driven by the fuzzer. Something listed: exit 1.
#
# It first fuzzes the receive target alone with scripts/fuzz.sh (sanitizers on, so a crash stops
# it here as there), then builds the target a second time to count what each input reaches
# (VELKOR_FUZZ_COVERAGE: clang's source-based counts, which see a function even where the
# compiler inlined it, as libFuzzer's -print_coverage=1 does not) and runs the seeds and
# everything the fuzzer kept through it once.
#
#   FUZZ_SECONDS       how long to fuzz first (default 60); 0 runs the seeds and the kept inputs only
#   FUZZ_CORPUS_DIR    where the fuzzer keeps what it found, as for fuzz.sh
#   FUZZ_BUILD_DIR     the sanitizer build, as for fuzz.sh (default build-fuzz)
#   FUZZ_COVERAGE_DIR  the counting build (default build-fuzz-coverage at the top of the repository)
#   FUZZ_JOBS          parallel compile jobs (default: the number of cores)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
corpora="${FUZZ_CORPUS_DIR:-$build/fuzz-corpus}"
coverage="${FUZZ_COVERAGE_DIR:-$root/build-fuzz-coverage}"
seconds="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-$(nproc)}"

if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "fuzz-coverage.sh: FUZZ_SECONDS must be a whole number of seconds, not '$seconds'" >&2
  exit 2
fi

# The counts are read with the tools of the clang that wrote them.
bash "$root/scripts/ensure-deps.sh" clang libclang-rt-14-dev llvm-14

if [ "$seconds" -gt 0 ]; then
  FUZZ_TARGETS=receive FUZZ_SECONDS="$seconds" FUZZ_CORPUS_DIR="$corpora" FUZZ_BUILD_DIR="$build" \
    FUZZ_JOBS="$jobs" bash "$root/scripts/fuzz.sh"
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$coverage" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DVELKOR_FUZZ=ON -DVELKOR_FUZZ_COVERAGE=ON -DVELKOR_TESTS=OFF -DVELKOR_BENCH=OFF >/dev/null
cmake --build "$coverage" -j "$jobs" --target velkor_fuzz_receive

counts="$coverage/receive-counts"
rm -rf "$counts"
mkdir -p "$counts" "$corpora/receive"
# -runs=0: every input runs once, nothing new is made.
if ! LLVM_PROFILE_FILE="$counts/%p.profraw" "$coverage/velkor_fuzz_receive" -runs=0 \
      -artifact_prefix="$counts/" "$corpora/receive" "$root/tests/fuzz/seeds-receive" >"$counts/run.log" 2>&1; then
  cat "$counts/run.log" >&2
  echo "fuzz-coverage.sh: an input stopped the counting build of velkor_fuzz_receive" >&2
  exit 2
fi
llvm-profdata-14 merge -sparse "$counts"/*.profraw -o "$counts/receive.profdata"
llvm-cov-14 export -format=text -skip-expansions "$coverage/velkor_fuzz_receive" \
  -instr-profile="$counts/receive.profdata" >"$counts/receive.json"

inputs=$(find "$corpora/receive" "$root/tests/fuzz/seeds-receive" -type f | wc -l)
if python3 "$root/tests/fuzz/list_unreached.py" "$counts/receive.json" "$root/src/link"; then
  echo "fuzz-coverage.sh: $inputs inputs reach every function of the link's exchanges"
else
  echo "fuzz-coverage.sh: $inputs inputs leave the functions above unreached" >&2
  exit 1
fi
