#!/usr/bin/env bash
# kovalink at88 against a simulated AT88RF020 and its password rule.
source "$(dirname "$0")/lib.sh" "$1"

start_sim -v --card at88rf020:password=0102030405060708

expect 0 at88 read 0 3
stdout_has "0     A1 B2 C3 D4"
expect 5 at88 read 4
stderr_has "rf_at020_read failed"
expect 5 at88 check -p 0000000000000000
stderr_has "rf_at020_check failed"
expect 0 at88 check -p 0102030405060708
stdout_has "password: accepted"
expect 0 at88 write 4 1122334455667788 -p 0102030405060708
expect 0 at88 read 4 -p 0102030405060708
stdout_has "11 22 33 44 55 66 77 88"
# COUNT writes the signature to page 2 and steps its counter (last two
# bytes, least significant first) from 0 to 1.
expect 0 at88 count 010203040506 -p 0102030405060708
expect 0 at88 read 2 -p 0102030405060708
stdout_has "2     01 02 03 04 05 06 01 00"
expect 0 at88 deselect
stdout_has "deselected: true"

mark_log
expect 2 at88 write 4 11223344 -p 0102030405060708
expect 2 at88 write 4 1122334455667788
stderr_has "--password is required"
expect 2 at88 read 32
expect 2 at88 lock 00000001 -p 0102030405060708
stderr_has "--yes"
sent_nothing
finish
