#!/usr/bin/env bash
# readersim and kovalink against a careless user and a hostile neighbour:
# folders someone else could write, planted files, malformed input, and a
# prompt exit on SIGTERM while a delay fault is pending.
set -uo pipefail
out=$1
base=$(mktemp -d)
sim=
trap 'stop; rm -rf "$base"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
stop() { if [ -n "$sim" ]; then kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; sim=; fi; }

# readersim ARGS...: runs it until it refuses to start (10 s at most); $rc and
# $base/log hold the outcome.
refused() { timeout 10 "$out/readersim" "$@" </dev/null >"$base/log" 2>&1; rc=$?; }
log_has() { grep -qF -- "$1" "$base/log" || fail "log lacks '$1': $(head -c 600 "$base/log")"; }

# A folder its group may write, or a symlink, is refused with the reason.
mkdir -m 770 "$base/shared"
refused --dir "$base/shared" --no-flash-file
[ "$rc" = 1 ] || fail "group-writable folder: exit $rc"
log_has "refusing to serve in $base/shared is writable by its group"
ls "$base/shared"/*.sock >/dev/null 2>&1 && fail "a socket was created in the group-writable folder"
mkdir -m 700 "$base/real"
ln -s "$base/real" "$base/link"
refused --dir "$base/link" --no-flash-file
log_has "refusing to serve in $base/link is a symlink"

# A missing folder is created for this user alone.
"$out/readersim" --dir "$base/newdir" --no-flash-file </dev/null >"$base/log" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q "serving" "$base/log" && break; sleep 0.05; done
[ "$(stat -c %a "$base/newdir" 2>/dev/null)" = 700 ] || fail "new folder mode $(stat -c %a "$base/newdir")"
stop

# The flash file: a missing folder or a truncated file fails at the start.
refused --dir "$base/real" --flash "$base/nowhere/reader.flash"
[ "$rc" = 1 ] || fail "flash in a missing folder: exit $rc"
log_has "cannot create flash file $base/nowhere/reader.flash"
head -c 100 /dev/zero >"$base/short.flash"
refused --dir "$base/real" --flash "$base/short.flash"
[ "$rc" = 1 ] || fail "truncated flash: exit $rc"
log_has "holds 100 bytes, not 65536 (truncated?)"

# Scenario files: a float address and deep nesting are refused with a message.
echo '{"reader":{"address":5e5}}' >"$base/float.json"
refused --dir "$base/real" --no-flash-file --scenario "$base/float.json"
[ "$rc" = 2 ] || fail "float address: exit $rc"
log_has "reader.address must be a whole number from 0 to 65535"
{ printf '{"cards":[{"type":"mifare1k","uid":'; head -c 100000 /dev/zero | tr '\0' '['; head -c 100000 /dev/zero | tr '\0' ']'; printf '}]}'; } >"$base/deep.json"
refused --dir "$base/real" --no-flash-file --scenario "$base/deep.json"
[ "$rc" = 2 ] || fail "deep scenario: exit $rc"
log_has "nested deeper than 16 levels"

# A virtual-device folder kovalink passes over is named, with the reason.
TAVOHID_VIRTUAL_DIR="$base/shared" "$out/kovalink" info >"$base/log" 2>&1
log_has "the virtual-device folder is passed over: $base/shared is writable by its group"

# Console numbers are numbers: "remove abc" is refused, not card 0.
mkfifo "$base/console"
"$out/readersim" --dir "$base/real" --no-flash-file --card mifare1k <"$base/console" >"$base/log" 2>&1 &
sim=$!
exec 9>"$base/console"
for _ in $(seq 100); do grep -q "serving" "$base/log" && break; sleep 0.05; done
echo "remove abc" >&9
echo "remove 0x0" >&9
echo "cards" >&9
sleep 0.3
log_has "error: remove takes a card number (see 'cards')"
grep -q "^0: " "$base/log" || fail "a card was removed by 'remove abc'"

# SIGTERM ends readersim at once, even in the middle of a delay fault.
echo "fault delay=60000" >&9
sleep 0.2
TAVOHID_VIRTUAL_DIR="$base/real" "$out/kovalink" beep 10 >/dev/null 2>&1 &
client=$!
sleep 0.5
start=$(date +%s%N)
kill -TERM "$sim"
wait "$sim"
took=$(( ($(date +%s%N) - start) / 1000000 ))
sim=
exec 9>&-
[ "$took" -lt 1000 ] || fail "readersim took $took ms to stop on SIGTERM"
ls "$base/real"/*.sock >/dev/null 2>&1 && fail "the socket was left behind"
wait "$client" 2>/dev/null

echo "$failures failures"
[ "$failures" = 0 ]
