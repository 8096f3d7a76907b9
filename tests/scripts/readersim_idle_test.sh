#!/usr/bin/env bash
# readersim whose standard input is a pipe that has ended (started from a
# script or a service) must sit idle, not spin on the hang-up.
set -euo pipefail
out=$1
dir=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -rf "$dir"' EXIT
: | "$out/readersim" --dir "$dir" --no-flash-file --card mifare1k >"$dir/log" 2>&1 &
sim=$!
for _ in $(seq 100); do ls "$dir"/*.sock >/dev/null 2>&1 && break; sleep 0.1; done
ls "$dir"/*.sock >/dev/null
read -r -a before < <(cut -d' ' -f14,15 "/proc/$sim/stat")
sleep 3
read -r -a after < <(cut -d' ' -f14,15 "/proc/$sim/stat")
ticks=$(( (after[0] + after[1]) - (before[0] + before[1]) ))
hz=$(getconf CLK_TCK)
echo "readersim used $ticks ticks of CPU in 3 s idle (${hz} ticks/s)"
# Spinning burns about 3 s of CPU here; an idle server next to nothing.
(( ticks < hz / 2 ))
