#!/usr/bin/env bash
# kovalink --trace shows the frames that went over the wire: for a sample of
# commands of several families, its request and reply frames are exactly
# those readersim logged as received and sent, in the same order.
source "$(dirname "$0")/lib.sh" "$1"

# The reader's address 0x0203 needs both its bytes escaped in every frame.
start_sim -v --address 515 --card mifare1k:uid=04A1B2C3 --card icode:uid=E004010000000001 --card srix4k \
    --card felica:uid=012E112233445566

# frames FILE: the wire bytes of every frame line ("-> ..." or "<- ..."),
# one per line, each with its direction.
frames() { grep -E '^(->|<-) ' "$1" | sed -E 's/^(..) .*  \| /\1 /'; }

# same_frames EXIT ARGS...: runs kovalink --trace ARGS and compares.
same_frames() {
    local want=$1
    shift
    mark_log
    expect "$want" --trace "$@"
    tail -n +$((marked + 1)) "$dir/sim.log" >"$dir/sim.part"
    frames "$dir/stderr" >"$dir/kovalink.frames"
    frames "$dir/sim.part" >"$dir/sim.frames"
    checks=$((checks + 1))
    if [ ! -s "$dir/sim.frames" ]; then
        fail "kovalink $*: readersim logged no frame"
    elif ! cmp -s "$dir/kovalink.frames" "$dir/sim.frames"; then
        fail "kovalink $*: the trace differs from readersim's log:
$(diff "$dir/kovalink.frames" "$dir/sim.frames")"
    fi
}

same_frames 0 beep 30
same_frames 0 info
same_frames 0 -a 0x0203 light 1
same_frames 0 raw 0x16 101003              # payload bytes that need escaping
same_frames 0 mifare read 4
same_frames 5 mifare read 8 -k 000000000000  # the reader refuses the key
same_frames 0 mifare write 5 0210030210030210030210030210030A
same_frames 0 iso15693 inventory
same_frames 0 iso15693 read 0 4
same_frames 0 st uid
same_frames 0 felica uid

# The names come from the command table, the status meaning from the
# reader's table.
expect 0 --trace beep 30
stderr_has "-> 0000 1D rf_beep  payload[1] 03"
stderr_has "<- 0203 status 00 (success)  payload[0]"
expect 5 --trace mifare read 8 -k 000000000000
stderr_has "rf_M1_authentication2  payload[8] 60 08 00 00 00 00 00 00"
stderr_has "status 10 (authentication failed)"

# A transport time-out shows as a note, and the call's result follows.
sim_command "fault drop"
expect 4 --trace beep
stderr_has "-- exchange 1 reply report 1: time-out after 4000 ms"
stderr_has "-- rf_beep returned 1"

finish
