#!/usr/bin/env bash
# kovalink ul/ntag against a simulated NTAG213 with a password.
source "$(dirname "$0")/lib.sh" "$1"

start_sim -v --card ntag213:uid=04112233445566,pwd=12345678,pack=ABCD,auth0=16

expect 0 ul info
stdout_has "uid: 04112233445566"
stdout_has "type: NTAG213"
stdout_has "version: 0004040201000F03"
stdout_has "counter: 0"
expect 0 ntag read 3 2 --json
stdout_has '"data": "E1101200"'
expect 0 ul write 4 01020304
expect 0 ul fast-read 4 5
stdout_has "01 02 03 04"

# Page 16 on is protected: refused without the password, written with it.
expect 5 ul write 16 AABBCCDD
stderr_has "rf_ul_write failed"
expect 5 ul auth --password 00000000
stderr_has "rf_Ntag_Password_Auth failed"
expect 0 ul auth --password 12345678
stdout_has "pack: ABCD"
expect 0 ul write 16 AABBCCDD --password 12345678
expect 0 ul read 16 1
stdout_has "AA BB CC DD"

expect 0 ul dump "$dir/tag.txt" --password 12345678
checks=$((checks + 1))
[ "$(wc -l <"$dir/tag.txt")" = 45 ] || fail "text dump does not hold 45 pages"
expect 0 ul dump "$dir/tag.bin"
checks=$((checks + 1))
[ "$(stat -c %s "$dir/tag.bin")" = 180 ] || fail "raw dump is not 180 bytes"

# Progress page by page on a terminal (script gives kovalink one), none with --quiet.
checks=$((checks + 1))
TERM=dumb script -qec "$kovalink ul read 0 45 >/dev/null" /dev/null >"$dir/tty" 2>&1
grep -q "page 40 of 0..44" "$dir/tty" || fail "no progress on a terminal: $(head -c 300 "$dir/tty")"
checks=$((checks + 1))
TERM=dumb script -qec "$kovalink --quiet ul read 0 45 >/dev/null" /dev/null >"$dir/tty" 2>&1
! grep -q "page 40" "$dir/tty" || fail "progress shown with --quiet"
expect 0 ul read 0 45
checks=$((checks + 1))
! grep -q "page 40 of" "$dir/stderr" || fail "progress shown on a standard error that is not a terminal"

# Reads stop at the last page (44) instead of wrapping to page 0; writes past it are refused.
expect 0 ntag read 43 8 --json
stdout_has '"page": 44'
stdout_lacks '"page": 45'
stdout_has "stopped at the last page, 44"
expect 2 ul write 45 01020304
stderr_has "outside this NTAG213"

# A Mifare Classic search leaves the tag usable for the next command.
sim_command "remove 0"
sim_command "place ultralight:uid=04AABBCCDDEEFF"
expect 0 mifare search
stdout_lacks "sectors"
expect 0 ul read 4 1
expect 0 ul info
stdout_has "type: Mifare Ultralight"
stdout_has "pages: 16"

# Ultralight C: its key pages 44-47 are never read; they stay unknown in a dump.
sim_command "remove 0"
sim_command "place ultralightc:uid=04A1A2A3A4A5A6"
expect 0 ul dump "$dir/ulc.txt"
stdout_has "type: Mifare Ultralight C"
checks=$((checks + 1))
[ "$(wc -l <"$dir/ulc.txt")" = 48 ] || fail "UL C text dump does not hold 48 pages"
[ "$(tail -n 4 "$dir/ulc.txt" | sort -u)" = "--------" ] || fail "UL C key pages not unknown: $(tail -n 4 "$dir/ulc.txt")"

# Refused before anything is sent.
mark_log
expect 2 ul write 1 00000000
stderr_has "hold the UID"
expect 2 ul write 3 00000000
stderr_has "--lock-bits"
expect 2 ul write 4 010203
expect 2 ul fast-read 10 4
expect 2 ul fast-read 0 63
expect 2 ul auth
expect 2 ul auth --password 12345678 --key 00112233445566778899AABBCCDDEEFF
sent_nothing
finish
