#!/usr/bin/env bash
# readersim.exe under wine serves the reader to Windows programs: the C
# caller and kovalink.exe find it through its port file, commands typed on
# its console change the cards on the antenna, and "quit" stops it.
# Usage: readersim_exe_e2e.sh WINE READERSIM.EXE CALLER.EXE KOVALINK.EXE
set -uo pipefail
wine=$1 readersim=$2 caller=$3 kovalink=$4
dir=$(mktemp -d)
chmod 700 "$dir"
mkfifo "$dir/console"
trap 'exec 3>&-; kill $sim 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
windows_dir="Z:${dir//\//\\}"
export TAVOHID_VIRTUAL_DIR=$windows_dir WINEDEBUG=-all
"$wine" "$readersim" --dir "$windows_dir" --no-flash-file --card mifare1k:uid=A1B2C3D4 \
    <"$dir/console" >"$dir/sim.log" 2>&1 &
sim=$!
exec 3>"$dir/console"  # the console stays open until "quit"
for _ in $(seq 200); do ls "$dir"/*.tcp >/dev/null 2>&1 && break; sleep 0.05; done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$(dirname "$caller")" && "$wine" "$caller") || fail "the C caller against readersim.exe"

# scan_until TEXT: kovalink.exe's scan shows TEXT within a few seconds (the
# console's commands take effect as readersim reads them).
scan_until() {
    for _ in $(seq 20); do
        "$wine" "$kovalink" scan 2>&1 | tr -d '\r' >"$dir/scan"
        grep -qF -- "$1" "$dir/scan" && return 0
        sleep 0.25
    done
    fail "scan never showed '$1': $(cat "$dir/scan")"
}
scan_until A1B2C3D4
echo "remove 0" >&3
echo "place mifare4k:uid=01020304" >&3
scan_until 01020304
grep -q A1B2C3D4 "$dir/scan" && fail "the removed card still answers"

echo quit >&3
exec 3>&-
for _ in $(seq 100); do kill -0 $sim 2>/dev/null || break; sleep 0.05; done
wait $sim || fail "readersim.exe exited $?"
tr -d '\r' <"$dir/sim.log" | grep -qx "readersim: stopped" || fail "readersim.exe did not stop on quit"
[ -z "$(ls "$dir"/*.tcp 2>/dev/null)" ] || fail "the port file outlived readersim.exe"
cat "$dir/sim.log"
[ "$failures" = 0 ] && echo "all checks passed"
exit "$failures"
