#!/bin/bash
# Starts readersim with a SAM and a contact card, a private pcscd in the
# foreground (private socket) with the Kovalink driver from its own reader.conf.d, then the
# PC/SC clients: the C client (which places and removes contactless cards
# through readersim's command pipe) and pcsc_scan.
#
# Usage: pcscd_test.sh <readersim> <driver .so> <pcsc_client>
set -u
readersim=$(realpath "$1") driver=$(realpath "$2") client=$(realpath "$3")
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    exec 3>&- 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "--- pcscd log" >&2; tail -40 "$work/pcscd.log" >&2; exit 1; }

export TAVOHID_VIRTUAL_DIR=$work/dev
mkdir -p "$TAVOHID_VIRTUAL_DIR" "$work/conf"

mkfifo "$work/sim.in"
"$readersim" --dir "$TAVOHID_VIRTUAL_DIR" --no-flash-file --card sam:slot=1 --card contact \
    <"$work/sim.in" >"$work/sim.log" 2>&1 &
pids+=($!)
exec 3>"$work/sim.in"   # keeps readersim's input open between the client's commands
for _ in $(seq 50); do grep -q serving "$work/sim.log" && break; sleep 0.1; done
grep -q serving "$work/sim.log" || fail "readersim did not start: $(cat "$work/sim.log")"

cat >"$work/conf/kovalink" <<CONF
FRIENDLYNAME "Kovalink Simulated"
DEVICENAME virtual:1a86/e010
LIBPATH $driver
CONF
# This pcscd keeps its socket in /run/pcscd, so it runs in a private mount
# namespace whose /run is a folder of the test; clients reach the socket
# there through PCSCLITE_CSOCK_NAME.
mkdir -p "$work/run/pcscd"
export PCSCLITE_CSOCK_NAME=$work/run/pcscd/pcscd.comm
# A driver built with the sanitizers needs their runtimes loaded first in pcscd.
preload=$(ldd "$driver" | awk '/libasan|libubsan/ {print $3}' | paste -sd:)
namespace=(unshare --mount)
[ "$(id -u)" = 0 ] || namespace+=(--map-root-user)
"${namespace[@]}" true 2>/dev/null || { echo "SKIP: no private mount namespace here"; exit 77; }
"${namespace[@]}" sh -c 'mount --bind "$1/run" /run && exec env LD_PRELOAD="$2" pcscd -f -c "$1/conf"' sh "$work" "$preload" \
    >"$work/pcscd.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$PCSCLITE_CSOCK_NAME" ] && break; sleep 0.1; done
[ -S "$PCSCLITE_CSOCK_NAME" ] || fail "pcscd did not open its socket"

timeout 120 "$client" "$work/sim.in" || fail "pcsc_client"

# pcsc_scan sees the reader, the SAM's ATR and a card placed in the field.
echo "place mifare4k:uid=DEADBEEF" >&3
timeout 20 pcsc_scan -n -t 3 >"$work/scan.log" 2>&1
grep -q "Kovalink Simulated 00 00" "$work/scan.log" || fail "pcsc_scan lists no reader: $(cat "$work/scan.log")"
grep -q "3B 18 13 4B 4F 56 41 53 41 4D 31" "$work/scan.log" || fail "pcsc_scan shows no SAM ATR"
grep -q "3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 02 00 00 00 00 69" "$work/scan.log" ||
    fail "pcsc_scan shows no Mifare 4K ATR: $(cat "$work/scan.log")"
# The driver ran inside pcscd: a sanitizer report there fails the test too.
! grep -E "ERROR: AddressSanitizer|runtime error:" "$work/pcscd.log" || fail "sanitizer report in pcscd"
echo "pcscd test passed"
