#!/usr/bin/env bash
# The same image files given to readersim (--card mifare1k:dump=FILE) and to
# kovalink (mifare restore FILE): both take what one takes, and both refuse
# the rest with the same file, line and reason.
source "$(dirname "$0")/lib.sh" "$1"

start_sim --card mifare1k:uid=04A1B2C3

block=00112233445566778899AABBCCDDEEFF
trailer=FFFFFFFFFFFFFF078069FFFFFFFFFFFF
# sector_text S [BLOCK [TRAILER]]: a sector of four blocks under its header.
sector_text() {
    echo "+Sector: $1"
    for _ in 1 2 3; do echo "${2:-$block}"; done
    echo "${3:-$trailer}"
}
image_of() { for s in $(seq 0 15); do sector_text "$s" "$@"; done; }

# refused_by_both FILE MESSAGE: both exit 2 and print "FILE...: MESSAGE" the same way.
refused_by_both() {
    local file=$1 want=$2 sim_rc sim_says kl_says
    checks=$((checks + 1))
    "$out/readersim" --dir "$dir/other" --no-flash-file --card "mifare1k:dump=$file" \
        </dev/null >"$dir/other.log" 2>&1 &
    local pid=$!
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"; wait "$pid" 2>/dev/null
        fail "readersim took $file"
        return
    fi
    wait "$pid"; sim_rc=$?
    run mifare restore "$file"
    sim_says=$(sed -n 's/^readersim: //p' "$dir/other.log" | grep -v serving)
    kl_says=$(sed -n 's/^kovalink: //p' "$dir/stderr")
    [ "$sim_rc" = 2 ] || fail "readersim exited $sim_rc for $file: $(cat "$dir/other.log")"
    [ "$rc" = 2 ] || fail "kovalink exited $rc for $file"
    [ "$sim_says" = "$kl_says" ] || fail "readersim says '$sim_says', kovalink '$kl_says'"
    [ "$kl_says" = "$file$want" ] || fail "for $file: '$kl_says', expected '$file$want'"
}

# taken_by_both FILE: readersim serves the card, kovalink writes the image.
taken_by_both() {
    local file=$1
    checks=$((checks + 1))
    timeout 2 "$out/readersim" --dir "$dir/other" --no-flash-file --card "mifare1k:dump=$file" \
        </dev/null >"$dir/other.log" 2>&1
    grep -q "Mifare Classic 1K" "$dir/other.log" || fail "readersim refused $file: $(cat "$dir/other.log")"
    expect 0 mifare restore "$file"
}

# Five lines in one sector, dashes in a trailer: the two cases the tools
# used to disagree on.
{ sector_text 0; echo "$block"; sector_text 1; } >"$dir/five.txt"
refused_by_both "$dir/five.txt" ":6: sector 0 has only 4 blocks"
image_of "$block" "------------FF078069------------" >"$dir/dashes.mct"
taken_by_both "$dir/dashes.mct"
expect 0 mifare read 4
stdout_has "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF"

{ sector_text 0; sector_text 1 "${block:0:31}G"; } >"$dir/digit.txt"
refused_by_both "$dir/digit.txt" ":7: 'FG' is neither a byte in hex nor \"--\""
{ sector_text 0; sector_text 0; } >"$dir/twice.txt"
refused_by_both "$dir/twice.txt" ":6: sector 0 appears twice (first on line 1)"
{ sector_text 0; echo "+Sector: 40"; } >"$dir/header.txt"
refused_by_both "$dir/header.txt" ":6: a sector header reads '+Sector: N' with N from 0 to 39"
{ sector_text 0; sector_text 20; } >"$dir/beyond.txt"
refused_by_both "$dir/beyond.txt" ":6: sector 20 lies beyond the 16 sectors of this card"
{ echo "+Sector: 0"; echo "No keys found (or dead sector)"; echo "$block"; } >"$dir/note.txt"
refused_by_both "$dir/note.txt" ":3: sector 0 was marked unread on line 2; no blocks may follow"

for _ in $(seq 63); do echo "$block"; done >"$dir/short.eml"
refused_by_both "$dir/short.eml" ": 63 blocks; a Mifare Classic image has 20, 64, 128 or 256"
{ for _ in $(seq 63); do echo "$block"; done; echo "${block}00"; } >"$dir/long.eml"
refused_by_both "$dir/long.eml" ":64: 17 bytes where a line holds 16"
head -c 4096 /dev/zero >"$dir/4k.mfd"
refused_by_both "$dir/4k.mfd" ": the image holds 256 blocks, the card 64"
head -c 1000 /dev/urandom | tr '\000' '\001' >"$dir/odd.bin"
refused_by_both "$dir/odd.bin" ": 1000 bytes; a raw Mifare Classic image has 320, 1024, 2048 or 4096"

{
    printf '{\n  "Created": "proxmark3",\n  "FileType": "mfcard",\n  "blocks": {\n'
    for b in $(seq 0 63); do
        value=$block
        [ $((b % 4)) = 3 ] && value=$trailer
        [ "$b" = 9 ] && value=0011
        printf '    "%d": "%s"%s\n' "$b" "$value" "$([ "$b" = 63 ] || echo ,)"
    done
    printf '  }\n}\n'
} >"$dir/card.json"
refused_by_both "$dir/card.json" ":14: block 9: 2 bytes where a line holds 16"
sed -i 's/"0011"/"'$block'"/' "$dir/card.json"
taken_by_both "$dir/card.json"

# What kovalink writes, in every format, both read back.
expect 0 mifare dump "$dir/dumped.json" "$dir/dumped.mct"
expect 0 mifare dump "$dir/dumped.eml"
for f in dumped.json dumped.mct dumped.eml; do taken_by_both "$dir/$f"; done
checks=$((checks + 1))
grep -q '"FileType": "mfcard"' "$dir/dumped.json" || fail "the JSON image lacks its FileType"

# What is no image file is refused unread, FIFOs included (nothing writes to this one).
refused_by_both /dev/zero ": not a regular file (a device, FIFO or socket)"
mkfifo "$dir/fifo.mfd"
refused_by_both "$dir/fifo.mfd" ": not a regular file (a device, FIFO or socket)"
truncate -s 2G "$dir/huge.mfd"
refused_by_both "$dir/huge.mfd" ": 2147483648 bytes: an image file holds at most 1048576"

finish
