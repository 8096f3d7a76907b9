#!/usr/bin/env bash
# Runs one example program against a private readersim holding the cards
# given, and checks that it succeeds and prints each expected line.
#   run_example.sh OUT_DIR PROGRAM 'EXPECTED LINE|...' [readersim options...]
# PROGRAM is a program in OUT_DIR, or a whole command line ("env ... python3 x.py").
set -euo pipefail
out=$1 program=$2 expected=$3
shift 3
dir=$(mktemp -d)
sim=
trap 'kill $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
export TAVOHID_VIRTUAL_DIR=$dir
"$out/readersim" --dir "$dir" --no-flash-file "$@" </dev/null >"$dir/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q serving "$dir/sim.log" && break; sleep 0.05; done
case $program in /*|env\ *) run=$program ;; *) run=$out/$program ;; esac
$run | tee "$dir/out.txt"
IFS='|' read -r -a lines <<<"$expected"
for line in "${lines[@]}"; do
  grep -qxF "$line" "$dir/out.txt" || { echo "missing line: $line"; exit 1; }
done
echo "$program passed"
