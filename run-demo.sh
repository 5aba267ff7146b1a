#!/usr/bin/env bash
# Installs what is missing, builds the two programs it starts (the tests are ./run-tests.sh's),
# starts the simulated unit on a pseudo-terminal and the tool connected to it, in the working
# folder demo/ with a sample TESTER.INI. The tool stays open until you close it; the simulated
# unit stops with it.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
bash scripts/ensure-deps.sh
bash scripts/build.sh velkor velkor-unitsim

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display: run this from a desktop session (or under xvfb-run)." >&2
  exit 1
fi

mkdir -p demo
link="$root/demo/ttyUNIT"
./build/velkor-unitsim --closed-loop --need 1:170 --link "$link" --log "$root/demo/unit.log" >"$root/demo/unitsim.out" &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [[ -e "$link" ]] && break; sleep 0.1; done
[[ -e "$link" ]] || { echo "The simulated unit did not start." >&2; exit 1; }

# TESTER.INI is Windows-1250 text, as a workshop's copy from Windows would be.
sed "s|@PORT@|$link|" tools/demo/TESTER.INI.in | iconv -f UTF-8 -t CP1250 >demo/TESTER.INI

echo "Simulated unit on $(head -n1 demo/unitsim.out) (linked as $link); starting the tool."
cd demo
"$root/build/velkor"
