#!/usr/bin/env bash
# kovalink's reader commands against readersim: output, exit codes, the
# trace, and input refused before anything is sent.
source "$(dirname "$0")/lib.sh" "$1"

# No reader at all: list and info say so with exit code 3.
expect 3 list
stderr_has "no reader with ids 1A86:E010 found"
stderr_has "readersim"
expect 3 info
stderr_has "rf_init_com failed: no reader with ids 1A86:E010 opened; start readersim"

start_sim -v --address 7 --model 4B37 --serial 0102030405
expect 0 list
stdout_has "1a86-e010-reader0.sock"
stdout_has "true"
expect 3 --vid 0x1234 list
expect 0 info
stdout_has "address: 7"
stdout_has "model: 4B37"
stdout_has "serial: 0102030405"
stdout_has "library_version: 19"
expect 0 info --json
stdout_has '"model": "4B37"'
stdout_has '"address": 7'

# The trace shows the frames as the transport sent and received them.
expect 0 --trace beep 100
stderr_has "-> 0000 1D rf_beep  payload[1] 0A  | 02 00 00 04 1D 0A 2B 03"
stderr_has "<- 0007 status 00 (success)  payload[0]  | 02 07 00 10 03 1D 00 27 03"
stderr_has "-- rf_beep returned 0"
expect 0 -a 7 beep --trace
stderr_has "| 02 07 00 04 1D 28 50 03"
expect 0 light 2
expect 0 antenna off
expect 0 antenna on

# Address: read, change, and back.
expect 0 address get
stdout_has "address: 7"
expect 0 address set 0x0102 --trace
stderr_has "| 02 00 00 05 13 10 02 01 1B 03"
expect 0 address get --json
stdout_has '"address": 258'
expect 0 address set 7

# Flash, display and card family.
expect 0 flash write 0x10 "01 02 03 04"
expect 0 flash read 0x10 4 --json
stdout_has '"data": "01020304"'
expect 5 flash read 0 4 --bank 1
stderr_has "rf_flash_read failed: status 0x08 (flash address out of range)"
expect 0 display 1 2 AABBCC
expect 0 family 15693
expect 0 family a

# raw: the reply body decoded, status and its meaning.
expect 0 raw 0x16 --trace
stdout_has "payload: 4B 37"
stdout_has "checksum: "
stdout_has "checksum_good: true"
stderr_has "<- 0007 status 00 (success)  payload[2] 4B 37  | 02 07 00 05 16 00 4B 37 A4 03"
expect 5 raw 0x3A 99
stdout_has "status: 5"
stderr_has "status 0x05 (parameter out of range)"
expect 5 raw 0xEE
stderr_has "status 0x03 (command code not supported by the reader)"

# Bad input is refused with exit code 2 and nothing goes to the reader.
mark_log
expect 2 raw 0x16 ABC
stderr_has "odd number of hex digits"
expect 2 raw 0x16 0G
expect 2 raw 256
stderr_has "out of range 0..255"
expect 2 light
expect 2 light 010x
expect 2 antenna maybe
expect 2 beep 3000
expect 2 --address 70000 info
expect 2 address set -1
expect 2 flash write 0 $(printf '00%.0s' $(seq 65))
stderr_has "65 bytes, expected 1 to 64"
expect 2 flash read 0 253
expect 2 display 1 2 AABB
expect 2 family c
expect 2 nosuchcommand
expect 2 address
expect 2
stdout_has "Usage: kovalink"
sent_nothing

# Help on every level, and the exit codes documented.
expect 0 --help
stdout_has "Exit codes:"
stdout_has "3  reader not found"
expect 0 address set --help
stdout_has "ADDRESS"
expect 0 raw --help
stdout_has "door_acess"

# Usage errors as JSON too; --version; a non-UTF-8 file name never aborts.
expect 0 --version
stdout_has "kovalink 1."
expect 2 beep --no-such-option --json
stdout_has '"exit_code": 2'
stdout_has '--no-such-option'
bad_name=$(printf 'card-\xff.mfd')
expect 2 mifare restore "$dir/$bad_name" --json
stdout_has '"exit_code": 2'
expect 5 mifare read 4 --json
stdout_has '"function": "rf_request"'
stdout_has '"status": 10'

# The reader gone mid-session: transport failure is exit code 4.
sim_command "fault corrupt-checksum"
expect 4 beep
stderr_has "rf_beep failed: status 0x01"
expect 0 beep

finish
