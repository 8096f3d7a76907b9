#!/usr/bin/env bash
# kovalink.exe under wine against the Linux readersim over TCP: the reader's
# details, a Mifare block, an APDU to a processor card, and the files it
# writes (a dump replacing an older one, the APDU history, the wire trace).
# Usage: kovalink_e2e.sh READERSIM WINE KOVALINK.EXE
set -uo pipefail
readersim=$1 wine=$2 kovalink=$3
dir=$(mktemp -d)
chmod 700 "$dir"
trap 'kill $sim 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
"$readersim" --dir "$dir" --tcp --no-flash-file --card mifare1k:uid=F1F2F3F4 --card cpu-a </dev/null \
    >"$dir/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q "127.0.0.1" "$dir/sim.log" && break; sleep 0.05; done
windows_dir="Z:${dir//\//\\}"
export TAVOHID_VIRTUAL_DIR=$windows_dir KOVALINK_HISTORY="$windows_dir\\history" WINEDEBUG=-all
failures=0

# expect RC TEXT ARGS...: kovalink.exe exits RC and prints a line with TEXT.
expect() {
    local want=$1 text=$2
    shift 2
    "$wine" "$kovalink" "$@" >"$dir/stdout" 2>"$dir/stderr"
    local rc=$?
    tr -d '\r' <"$dir/stdout" >"$dir/out"
    if [ "$rc" != "$want" ] || { [ -n "$text" ] && ! grep -qF -- "$text" "$dir/out"; }; then
        echo "FAIL: kovalink $* exited $rc (expected $want), wanted '$text'"
        echo "  stdout: $(head -c 2000 "$dir/out")"
        echo "  stderr: $(head -c 2000 "$dir/stderr")"
        failures=$((failures + 1))
    fi
}

expect 0 '"serial": "' info --json
# The transport's trace of each exchange, read back from a temporary file
# that both hold open.
expect 0 "model: " --trace info
grep -qF -- "-> 0000 16 rf_get_model" "$dir/stderr" || { echo "FAIL: no trace of rf_get_model"; failures=$((failures + 1)); }
expect 0 "uid: F1F2F3F4" mifare search
expect 0 '"data": "00000000000000000000000000000000"' mifare read 4 --json
expect 0 "9000 success" apdu 0084000008
grep -q " 0084000008 -> " "$dir/history" || { echo "FAIL: the history lacks the APDU"; failures=$((failures + 1)); }
# The dump goes where the Windows path says, and a second one replaces it.
expect 0 "" mifare dump "$windows_dir\\card.mfd"
expect 0 "" mifare write 4 00112233445566778899AABBCCDDEEFF
expect 0 "" mifare dump "$windows_dir\\card.mfd"
[ "$(stat -c %s "$dir/card.mfd" 2>/dev/null)" = 1024 ] || { echo "FAIL: no 1024-byte dump"; failures=$((failures + 1)); }
[ "$(od -An -tx1 -j64 -N4 "$dir/card.mfd" | tr -d ' ')" = 00112233 ] ||
    { echo "FAIL: the second dump did not replace the first"; failures=$((failures + 1)); }
# No reader: the exit code for it, and a reason.
TAVOHID_VIRTUAL_DIR= expect 3 "" info
grep -q "rf_init_com failed" "$dir/stderr" || { echo "FAIL: no reason without a reader"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "all checks passed"
exit "$failures"
