#!/usr/bin/env bash
# The example program against readersim, as a user runs it: real answers.
set -euo pipefail
out=$1
dir=$(mktemp -d)
trap 'kill $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
export TAVOHID_VIRTUAL_DIR=$dir
"$out/readersim" --dir "$dir" --address 7 --model 4B37 --serial 0102030405 </dev/null >"$dir/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q serving "$dir/sim.log" && break; sleep 0.05; done
"$out/reader_info" >"$dir/out.txt"
cat "$dir/out.txt"
grep -qx "library version: 19" "$dir/out.txt"
grep -qx "headers: 1.0.1 (lib_ver 19)" "$dir/out.txt"
grep -qx "reader address: 7" "$dir/out.txt"
grep -qx "model: 4B 37" "$dir/out.txt"
grep -qx "serial number: 01 02 03 04 05" "$dir/out.txt"
grep -qx "beeped" "$dir/out.txt"

# readersim documents itself.
"$out/readersim" --help >"$dir/help.txt"
grep -q "Reader status codes" "$dir/help.txt"

# Without a reader the example says so and fails.
kill $sim; wait $sim 2>/dev/null || true
if "$out/reader_info" 2>"$dir/err.txt"; then exit 1; fi
grep -q "no reader found" "$dir/err.txt"
echo "example test passed"
