#!/usr/bin/env bash
# kovalink st against simulated SR176 and SRIX4K chips.
source "$(dirname "$0")/lib.sh" "$1"

start_sim -v --card srix4k:chipid=5A

expect 0 st select
stdout_has "chip_id: 5A"
expect 0 st uid
stdout_has "uid: D002"
expect 0 st write 10 01020304
stdout_has "now: 01 02 03 04"
expect 0 st read 10 2
stdout_has "10     01 02 03 04"
expect 0 st read 255
stdout_has "255    5A FF FF FF"  # the chip id, then the lock register (nothing locked)
# Counters only count down.
expect 0 st write 5 00000001
expect 5 st write 5 00000002
stderr_has "rf_srix4k_writeblock failed: status 0x53"
expect 0 st read 5
stdout_has "5      00 00 00 01"
# The simulated chip answers the first 3 bytes, least significant first, of
# FNV-1a over its UID (least significant byte first) and the challenge;
# computed once with a few lines of Python.
expect 0 st auth 010203040506
stdout_has "response: 198201"
expect 0 st complete
stdout_has "completed: true"

mark_log
expect 2 st write 10 0102
stderr_has "4 bytes"
expect 2 st read 127 2
expect 2 st lock 01
stderr_has "--yes"
expect 2 st write 16 0102 --sr176
sent_nothing

sim_command "remove 0"
sim_command "place sr176"
expect 0 st write 4 BEEF --sr176
expect 0 st read 4 --sr176
stdout_has "4      BE EF"
expect 5 st read 4
stderr_has "status 0x07"
finish
