#!/usr/bin/env bash
# kovalink iso15693 against simulated I-CODE and Tag-it labels.
source "$(dirname "$0")/lib.sh" "$1"

# json_block N DATA: block N of the last JSON read holds DATA.
json_block() {
    checks=$((checks + 1))
    grep -A1 -F "\"block\": $1," "$dir/stdout" | grep -qF "\"data\": \"$2\"" || fail "block $1 is not $2"
}

start_sim -v --card icode:uid=E004010000000001

expect 0 iso15693 inventory
stdout_has "E004010000000001  00     NXP"
expect 0 iso15693 info
stdout_has "blocks: 28"
stdout_has "block_size: 4"
expect 0 iso15693 write 2 AABBCCDD11223344
stdout_has "blocks_written: 2"
expect 0 iso15693 read 0 4 --security
stdout_has "2      AA BB CC DD  false"
stdout_has "3      11 22 33 44  false"
# More blocks than one request carries.
expect 0 iso15693 read 0 28 -u E004010000000001 --json
json_block 2 "AABBCCDD"
json_block 3 "11223344"
json_block 27 "00000000"
expect 5 iso15693 read 28
stderr_has "ISO15693_Read failed: status 0x42"
expect 0 iso15693 lock 3 --yes
expect 5 iso15693 write 3 00000000
stderr_has "ISO15693_Write failed: status 0x44"
expect 0 iso15693 afi 7
expect 0 iso15693 dsfid 9
expect 0 iso15693 info --json
stdout_has '"afi": "07"'
stdout_has '"dsfid": "09"'
expect 0 iso15693 eas set
expect 0 iso15693 eas alarm
# The simulated label's fixed EAS answer.
stdout_has "alarm: 5AA53CC30FF096695AA53CC30FF09669A55AC33CF00F6996A55AC33CF00F6996"
expect 0 iso15693 eas reset
expect 5 iso15693 eas alarm

# Two labels: inventory shows both; an absent UID is the reader's status.
sim_command "place tagit:uid=E007000000000002"
expect 0 iso15693 inventory
stdout_has "count: 2"
stdout_has "Texas Instruments"
expect 0 iso15693 write 0 CAFEBABE -u E007000000000002
expect 0 iso15693 read 0 -u E007000000000002
stdout_has "0      CA FE BA BE"
expect 0 iso15693 read 0 -u E004010000000001
stdout_lacks "CA FE BA BE"
expect 5 iso15693 read 0 -u E004010000000009
stderr_has "status 0x0A (no card answered)"

# Refused before anything is sent.
mark_log
expect 2 iso15693 lock 4
stderr_has "add --yes"
expect 2 iso15693 write 0 AABBCC
expect 2 iso15693 read 250 10
expect 2 iso15693 read 0 -u E00401
expect 2 iso15693 afi
expect 2 iso15693 eas sound
sent_nothing
finish
