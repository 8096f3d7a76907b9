#!/usr/bin/env bash
# kovalink mifare against a simulated Mifare Classic 1K, as a tester works:
# search, read, dump, change a block, restore, values, keys, access bits.
source "$(dirname "$0")/lib.sh" "$1"

start_sim -v --card mifare1k:uid=04A1B2C3 --card cpu-a

# Every card in the field, and the field usable afterwards.
expect 0 scan --json
stdout_has '"uid": "04A1B2C3"'
stdout_has '"type": "Mifare Classic 1K"'
stdout_has '"type": "ISO14443-4 processor card"'
stdout_has '"count": 2'

# The processor card in the field is passed over.
expect 0 mifare search
stdout_has "uid: 04A1B2C3"
stdout_has "type: Mifare Classic 1K"
expect 0 mifare read --sector 1
stdout_has "7      00 00 00 00 00 00 FF 07 80 69 FF FF FF FF FF FF  trailer"

# Dump to both formats, change a block, restore it from the text image.
expect 0 mifare dump "$dir/card.mfd" "$dir/card.txt"
checks=$((checks + 1))
[ "$(stat -c %s "$dir/card.mfd")" = 1024 ] || fail "raw image is not 1024 bytes"
grep -qx "+Sector: 15" "$dir/card.txt" || fail "text image lacks sector headers"
grep -qx "04A1B2C3D40804006263646566676869" "$dir/card.txt" || fail "text image lacks block 0"
grep -qx "FFFFFFFFFFFFFF078069FFFFFFFFFFFF" "$dir/card.txt" || fail "trailer lacks the key that opened it"
expect 0 mifare write 4 00112233445566778899AABBCCDDEEFF
expect 0 mifare read 4 --json
stdout_has '"data": "00112233445566778899AABBCCDDEEFF"'
expect 0 mifare restore "$dir/card.txt"
stdout_has "blocks_written"
expect 0 mifare read 4
stdout_has "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
expect 0 mifare write 5 AA000000000000000000000000000000
expect 0 mifare restore "$dir/card.mfd"
expect 0 mifare read 5
stdout_has "5      00 00 00 00"

# Value blocks.
expect 0 mifare value set 8 100
expect 0 mifare value inc 8 20
stdout_has "value: 120"
expect 0 mifare value dec 8 50
stdout_has "value: 70"
expect 0 mifare value restore 8 9
expect 0 mifare value get 9 --json
stdout_has '"value": 70'
expect 2 mifare value set 11 1
stderr_has "sector trailer"

# Keys: which key opens what; a wrong key is the reader's status.
expect 0 mifare keys -k 112233445566 -k FFFFFFFFFFFF
stdout_has "FFFFFFFFFFFF"
expect 5 mifare read 4 -k 000000000000
stderr_has "rf_M1_authentication2 failed: status 0x10 (authentication failed)"

# Access bits, offline.
expect 0 mifare acl encode 000 000 000 001
stdout_has "access_bytes: FF0780"
expect 0 mifare acl decode FF0780
stdout_has "valid: true"
expect 2 mifare acl decode FF0781
stderr_has "do not match"

# Refused before anything is written.
mark_log
expect 2 mifare write 0 00112233445566778899AABBCCDDEEFF
stderr_has "manufacturer block"
expect 2 mifare write 7 00112233445566778899AABBCCDDEEFF
stderr_has "add --trailer"
expect 2 mifare write 4 0011
stderr_has "expected 16"
expect 2 mifare read 4 -k FFFF
expect 2 mifare read 256
expect 2 mifare read --sector 40
expect 2 mifare read 4 --sector 1
expect 2 mifare restore "$dir/missing.mfd"
printf 'not a dump\n' >"$dir/bad.txt"
expect 2 mifare restore "$dir/bad.txt"
sent_nothing
expect 2 mifare write 64 00112233445566778899AABBCCDDEEFF
stderr_has "outside this Mifare Classic 1K"

# No card: the reader's status, exit code 5.
sim_command "remove 0"
expect 5 mifare read 4
stderr_has "not a Mifare Classic card: UID"
sim_command "remove 0"
expect 5 mifare search
stderr_has "rf_request failed: status 0x0A (no card answered)"
finish
