#!/usr/bin/env bash
# kovalink apdu against the simulated processor cards, SAM and contact card.
source "$(dirname "$0")/lib.sh" "$1"
export KOVALINK_HISTORY=$dir/history

start_sim -v --card cpu-a --card cpu-b --card sam:slot=1 --card contact --card mifare1k:uid=F1F2F3F4

expect 0 apdu 0084000008 00A40000023F00
stdout_has "uid: A1B2C3D4"
stdout_has "fsc: "
stdout_has "> 0084000008"
stdout_has "9000 success"
grep -q "a 0084000008 -> " "$dir/history" || fail "history lacks the APDU"

# An error status word: words, exit code 6, later APDUs not sent unless asked.
expect 6 apdu 00A40000021234 0084000008
stdout_has "6A82 file or application not found"
stderr_has "the card answered 6A82 (file or application not found) to 00A40000021234"
stdout_lacks "> 0084000008"
expect 6 apdu -k 00A40000021234 0084000008 --json
stdout_has '"apdu": "0084000008"'
stdout_has '"exit_code": 6'

# READ BINARY with Le 00 of the 256-byte file 0001: 250 bytes and 61 06 in
# one frame, the last 6 bytes by GET RESPONSE; the data joined.
expect 0 apdu 00A4000002DF01 00A40000020001 00B0000000 --json
stdout_has '"response": "'"$(printf '00%.0s' $(seq 250))"'6106"'
stdout_has '"command": "00C0000006"'
stdout_has '"response": "0000000000009000"'
stdout_has '"data": "'"$(printf '00%.0s' $(seq 256))"'"'

# Type B, SAM and contact card.
expect 0 apdu --to b 0084000004
stdout_has "pupi: 11223344"
expect 0 apdu --to sam 0084000008
stdout_has "atr: "
expect 0 apdu --to contact 0084000008 --no-history
stdout_has "9000 success"

# A script from standard input, comments and blank lines skipped.
printf '# select the master file\n00A40000023F00\n\n0084000008  # challenge\n' >"$dir/script"
checks=$((checks + 1))
"$kovalink" apdu -f - <"$dir/script" >"$dir/stdout" 2>"$dir/stderr" || fail "script from stdin failed"
[ "$(grep -c '^> ' "$dir/stdout")" = 2 ] || fail "script did not send 2 APDUs"

# One session: the card stays active from line to line; 'reset' activates it
# again; an external authentication with the card's 3DES key (16 x FF)
# opens the file it protects. Answers come one line at a time.
auth="ext-auth 0 FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
printf '00A4000002DF01\n00D6810002AABB\n%s\n00D6810002AABB\n00B0810002\nreset\n00A4000002DF01\n00D6810002CCDD\n' "$auth" \
    >"$dir/session"
expect 6 apdu -k -f "$dir/session" --json
python3 - "$dir/stdout" <<'PY' || fail "session answers"
import json, sys
x = [e["sw"] for e in json.load(open(sys.argv[1]))["exchanges"]]
# select, write refused, challenge, authenticate, write, read, select, write refused after the reset
assert x == ["9000", "6982", "9000", "9000", "9000", "9000", "9000", "6982"], x
PY
coproc KL { "$kovalink" apdu -f - --no-history 2>&1; }
kl_pid=$KL_PID
echo "00A4000002DF01" >&"${KL[1]}"
checks=$((checks + 1))
answered=
for _ in $(seq 40); do
    IFS= read -r -t 10 line <&"${KL[0]}" || break
    case $line in *"9000 success"*) answered=yes; break ;; esac
done
[ "$answered" = yes ] || fail "no answer before the end of standard input"
exec {KL[1]}>&-
wait "$kl_pid" 2>/dev/null
expect 6 apdu 00A4000002DF01 0020000003654321
checks=$((checks + 1))
grep -q "0020000003\*\*\*\*\*\* -> " "$dir/history" || fail "the PIN is not masked in the history"
! grep -q "654321" "$dir/history" || fail "the PIN is in the history"
[ "$(stat -c %a "$dir/history")" = 600 ] || fail "history mode $(stat -c %a "$dir/history")"

# Refused input: nothing sent.
mark_log
expect 2 apdu 00A4
stderr_has "argument: an APDU has 4 to 251 bytes"
expect 2 apdu 00A400000
stderr_has "odd number of hex digits"
expect 2 apdu --to x 00840000
expect 2 apdu
expect 2 apdu -f "$dir/missing"
printf '0084000008\nZZ\n' >"$dir/bad"
expect 2 apdu -f "$dir/bad"
stderr_has "bad:2"
sent_nothing

# No card of that kind: the reader's status.
sim_command "remove 4"
sim_command "remove 0"
expect 5 apdu 0084000008
stderr_has "rf_typea_rst failed: status 0x0A (no card answered)"
finish
