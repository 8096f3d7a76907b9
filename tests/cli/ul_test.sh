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
stdout_has '"data": "E1 10 12 00"'
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
