#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/fuzz_NAME.cpp becomes velkor_fuzz_NAME; every one, or
# those of FUZZ_TARGETS) in their own folder (clang, sanitizers) and fuzzes them within one budget
# of time, shared by what each target still finds: every target first gets a short look, then
# each round gives half of the time left to the targets in proportion to the new inputs each found
# per second in its last run; a target that found nothing new gets no more. Exits non-zero when a
# fuzzer finds a crash, a hang or a leak; the input that did it is kept in
# FUZZ_BUILD_DIR/fuzz-artifacts/NAME/. A target reads tests/fuzz/NAME.dict and
# tests/fuzz/seeds-NAME/ when they are there.
#
#   FUZZ_SECONDS     how long to fuzz, all targets together (default 60)
#   FUZZ_CORPUS_DIR  where each target keeps what it found between runs, in a folder NAME (default
#                    FUZZ_BUILD_DIR/fuzz-corpus); give a folder outside the repository to keep it
#                    across clean builds
#   FUZZ_BUILD_DIR   build folder (default build-fuzz at the top of the repository)
#   FUZZ_JOBS        parallel compile jobs (default: the number of cores)
#   FUZZ_TARGETS     the targets to fuzz, by NAME, separated by blanks (default: every target)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
corpora="${FUZZ_CORPUS_DIR:-$build/fuzz-corpus}"
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
  -DVELKOR_FUZZ=ON -DVELKOR_FUZZ_COVERAGE=OFF -DVELKOR_TESTS=OFF -DVELKOR_BENCH=OFF >/dev/null
targets=()
for src in "$root"/tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  targets+=("${name#fuzz_}")
done
if [ -n "${FUZZ_TARGETS:-}" ]; then
  for name in $FUZZ_TARGETS; do
    if [ ! -f "$root/tests/fuzz/fuzz_$name.cpp" ]; then
      echo "fuzz.sh: no fuzz target '$name' (tests/fuzz/fuzz_$name.cpp); there are: ${targets[*]}" >&2
      exit 2
    fi
  done
  read -r -a targets <<<"$FUZZ_TARGETS"
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/velkor_fuzz_}"

declare -A rate  # new inputs a second in the target's last run; absent: not run yet
log="$build/fuzz-last.log"

# Runs target $1 for $2 seconds; sets rate[$1]. Stops the script on a crash, a hang or a leak.
fuzz() {
  local name=$1 share=$2
  local corpus="$corpora/$name" artifacts="$build/fuzz-artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  local extra=()
  [ -f "$root/tests/fuzz/$name.dict" ] && extra+=("-dict=$root/tests/fuzz/$name.dict")
  [ -d "$root/tests/fuzz/seeds-$name" ] && extra+=("$root/tests/fuzz/seeds-$name")
  # The first folder collects what the fuzzer finds; the seeds are only read.
  local status=0
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}" \
  UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
    "$build/velkor_fuzz_$name" \
    -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 \
    "$corpus" "${extra[@]}" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    echo "fuzz.sh: velkor_fuzz_$name stopped with status $status; inputs that did it:" >&2
    ls -l "$artifacts" >&2 || true
    echo "fuzz.sh: replay one with: $build/velkor_fuzz_$name <file>" >&2
    exit "$status"
  fi
  local found
  found=$(sed -n 's/^stat::new_units_added:[[:space:]]*//p' "$log" | tail -n 1)
  found=${found:-0}
  rate[$name]=$(awk -v n="$found" -v s="$share" 'BEGIN { printf "%.4f", n / s }')
  echo "fuzz.sh: velkor_fuzz_$name: no crash in $share s, $found new inputs"
}

remaining=$seconds
# A first look at every target: a quarter of the budget, shared equally.
look=$(( seconds / 4 / ${#targets[@]} ))
[ "$look" -ge 1 ] || look=1
for name in "${targets[@]}"; do
  [ "$remaining" -ge 1 ] || break
  share=$(( look < remaining ? look : remaining ))
  fuzz "$name" "$share"
  remaining=$(( remaining - share ))
done

# Then rounds, each giving half of what is left (all of it once that is little) to the targets
# that still find something, in proportion to how fast they found it.
while [ "$remaining" -ge 1 ]; do
  round=$(( remaining >= 2 * ${#targets[@]} ? remaining / 2 : remaining ))
  shares=$(for name in "${targets[@]}"; do echo "$name ${rate[$name]:-0}"; done |
    awk -v round="$round" '
      { name[NR] = $1; r[NR] = $2; total += $2 }
      END {
        for (i = 1; i <= NR; ++i) {
          # Nothing found anywhere: the time goes to all alike.
          s = total > 0 ? int(round * r[i] / total) : int(round / NR)
          if (s < 1 && (total == 0 || r[i] > 0)) s = 1
          if (s > 0) print name[i], s
        }
      }')
  [ -n "$shares" ] || break
  while read -r name share; do
    [ "$remaining" -ge 1 ] || break
    share=$(( share < remaining ? share : remaining ))
    fuzz "$name" "$share"
    remaining=$(( remaining - share ))
  done <<<"$shares"
done
echo "fuzz.sh: $seconds s of fuzzing, no crash"
