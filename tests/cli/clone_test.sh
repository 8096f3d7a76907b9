#!/usr/bin/env bash
# A card cloned as testers do it: dump with found keys, unknown keys and an
# unreadable sector kept unknown, restore onto a blank card, compare; trailer
# writes guarded; an image never replaced by a failed dump.
source "$(dirname "$0")/lib.sh" "$1"

data=00112233445566778899AABBCCDDEEFF
# Sector 1: keys A 112233445566 / B A1B2C3D4E5F6, key B hidden (trailer 011).
# Sector 2: key A FFFFFFFFFFFF, key B 5A5A5A5A5A5A that no list holds.
# Sector 3: key A that no list holds, key B FFFFFFFFFFFF.
# Sector 4: neither key known: unreadable.
# Others: the delivery state.
trailer_of() {
    case $1 in
    1) echo 1122334455667F078869A1B2C3D4E5F6 ;;
    2) echo FFFFFFFFFFFF7F0788695A5A5A5A5A5A ;;
    3) echo 0102030405067F078869FFFFFFFFFFFF ;;
    4) echo 0102030405067F0788695A5A5A5A5A5A ;;
    *) echo FFFFFFFFFFFFFF078069FFFFFFFFFFFF ;;
    esac
}
{
    for s in $(seq 0 15); do
        echo "+Sector: $s"
        if [ "$s" = 0 ]; then echo 04A1B2C3D40804006263646566676869; else echo "$data"; fi
        printf '%02X%s\n' "$s" "${data:2}"
        echo "$data"
        trailer_of "$s"
    done
} >"$dir/original.txt"
printf '# testers keys\nA1B2C3D4E5F6\n\n' >"$dir/dict.keys"

start_sim --card "mifare1k:dump=$dir/original.txt"

# -k and the dictionary add to the built-in keys (sector 0 opens with FFFFFFFFFFFF).
expect 5 mifare dump -k 112233445566 --keys-file "$dir/dict.keys" "$dir/clone.txt" "$dir/clone.mfd" "$dir/clone.json"
stderr_has "sectors not read completely: 4"
checks=$((checks + 1))
grep -qx "1122334455667F078869A1B2C3D4E5F6" "$dir/clone.txt" || fail "sector 1 trailer lacks both keys"
grep -qx "FFFFFFFFFFFF7F078869------------" "$dir/clone.txt" || fail "sector 2: unknown key B not dashes"
grep -qx -- "------------7F078869FFFFFFFFFFFF" "$dir/clone.txt" || fail "sector 3: unknown key A not dashes"
grep -qx "03112233445566778899AABBCCDDEEFF" "$dir/clone.txt" || fail "sector 3 data not read with key B"
[ "$(grep -A4 -x '+Sector: 4' "$dir/clone.txt" | grep -c -x -- '--------------------------------')" = 4 ] ||
    fail "sector 4 not marked unread: $(grep -A4 -x '+Sector: 4' "$dir/clone.txt")"
grep -qx "4 ------------ ------------ unread 16 17 18 19" "$dir/clone.mfd.keys" || fail "key file: $(cat "$dir/clone.mfd.keys")"
grep -qx "2 FFFFFFFFFFFF ------------" "$dir/clone.mfd.keys" || fail "key file lacks sector 2's unknown key B"
grep -q '"KeyB": "------------"' "$dir/clone.json" || fail "JSON image lacks the unknown key B"
grep -q '"FileType": "mfcard"' "$dir/clone.json" || fail "clone.json is not JSON"

# The raw image and its key file load as the text image does: sector 4 skipped.
sim_command "remove 0"
sim_command "place mifare1k:uid=0A0B0C0D"
expect 0 mifare restore --trailers "$dir/clone.mfd"
expect 0 mifare restore --trailers "$dir/clone.txt"
stderr_has "warning: the image was taken from the card 04A1B2C3"
# Trailers with an unknown key are not written: sector 2 and 3 keep the blank card's keys.
expect 0 mifare keys --no-default-keys -k 112233445566 -k A1B2C3D4E5F6 -k FFFFFFFFFFFF --json
python3 - "$dir/stdout" <<'PY' || fail "keys of the clone"
import json, sys
s = {r["sector"]: r for r in json.load(open(sys.argv[1]))["sectors"]}
assert s[1]["key_a"] == "112233445566" and s[1]["key_b"] == "A1B2C3D4E5F6", s[1]
assert s[2]["key_a"] == "FFFFFFFFFFFF", s[2]
assert s[3]["key_a"] == "FFFFFFFFFFFF", s[3]
PY
expect 0 mifare dump -k 112233445566 --keys-file "$dir/dict.keys" "$dir/second.txt"
checks=$((checks + 1))
# Data blocks 1-2 of sectors 1-3 equal the original's.
for s in 1 2 3; do
    diff <(grep -A3 -x "+Sector: $s" "$dir/original.txt" | sed -n 2,4p) \
         <(grep -A3 -x "+Sector: $s" "$dir/second.txt" | sed -n 2,4p) >/dev/null || fail "sector $s differs on the clone"
done

# A failed dump never replaces a good image.
cp "$dir/second.txt" "$dir/kept.txt"
expect 5 mifare dump --no-default-keys -k 999999999999 "$dir/second.txt"
stderr_has "no file written"
checks=$((checks + 1))
cmp -s "$dir/second.txt" "$dir/kept.txt" || fail "a dump with a wrong key changed the image"
expect 5 mifare dump --no-default-keys -k 112233445566 "$dir/second.txt"
checks=$((checks + 1))
cmp -s "$dir/second.txt" "$dir/kept.txt" || fail "a partial dump replaced the image"
[ -s "$dir/second.txt.partial" ] || fail "the partial dump was not kept beside it"

# Found keys saved as a dictionary the other tools read.
expect 0 mifare keys -k 112233445566 --save "$dir/found.dic"
checks=$((checks + 1))
grep -qx "112233445566" "$dir/found.dic" && grep -q "^#" "$dir/found.dic" || fail "found.dic: $(cat "$dir/found.dic")"

# Trailers: copies that disagree are refused, a permanent one needs --force.
mark_log
expect 2 mifare write 7 --trailer FFFFFFFFFFFFFF078169FFFFFFFFFFFF
stderr_has "do not match their inverted copies"
expect 2 mifare write 7 --trailer FFFFFFFFFFFF778F0869FFFFFFFFFFFF
stderr_has "add --force"
sent_nothing
expect 0 mifare trailer 5 --new-key-a 010203040506 --new-key-b 0A0B0C0D0E0F --access 000 000 000 011 --json
stdout_has '"verified": true'
expect 0 mifare read 20 -k 010203040506
expect 0 mifare read 20 -b -k 0A0B0C0D0E0F
expect 2 mifare trailer 6 --new-key-a 010203040506 --new-key-b 0A0B0C0D0E0F --access 000 000 000 110
stderr_has "add --force"

# MCT text with five lines in a sector is refused, nothing written.
{ echo "+Sector: 1"; for _ in 1 2 3 4 5; do echo "$data"; done; } >"$dir/five.mct"
expect 2 mifare restore "$dir/five.mct"
stderr_has "sector 1 has only 4 blocks"

finish
