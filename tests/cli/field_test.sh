#!/usr/bin/env bash
# kovalink choosing what to talk to: the wrong card family reported as a
# card problem (never as a transport failure), several cards in the field
# (a warning, --uid), several readers (--device) and the ATS in scan.
source "$(dirname "$0")/lib.sh" "$1"

# wrong_card PATTERN ARGS...: refused with exit 5 and a message, not as a transport failure.
wrong_card() {
    local pattern=$1
    shift
    expect 5 "$@"
    stderr_has "$pattern"
    checks=$((checks + 1))
    ! grep -q "local failure" "$dir/stderr" || fail "kovalink $* reported a transport failure"
}

# A Mifare Classic card alone: Ultralight/NTAG commands name what is there instead.
start_sim --card mifare1k:uid=11223344
for cmd in "ul info" "ul read 4 1" "ul dump $dir/u.bin" "ul fast-read 4 5" "ul write 4 01020304" \
    "ul auth --password 12345678"; do
    # shellcheck disable=SC2086
    wrong_card "not an Ultralight or NTAG tag: the card that answered is UID 11223344 (SAK 08), Mifare Classic 1K" $cmd
done
checks=$((checks + 1))
[ ! -e "$dir/u.bin" ] || fail "a dump of the wrong card type wrote a file"
for cmd in "iso15693 read 0 1" "st read 7 1" "at88 read 0 1" "felica uid"; do
    # shellcheck disable=SC2086
    wrong_card "no card answered" $cmd
done
expect 5 ul info --json
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["exit_code"]==5 and "Ultralight" in d["error"]' \
    "$dir/stdout" || fail "JSON of a wrong card type"

# An NTAG alone: the Mifare Classic commands say it is not one.
sim_command "remove 0"
sim_command "place ntag213:uid=04112233445566"
for cmd in "mifare read 4" "mifare dump $dir/m.mfd" "mifare keys" "mifare value get 4"; do
    # shellcheck disable=SC2086
    wrong_card "not a Mifare Classic card: UID 04112233445566, SAK 00 (Ultralight / NTAG family)" $cmd
done

# Two Classic cards and an NTAG: a warning lists them; --uid picks one.
sim_command "place mifare1k:uid=11223344"
sim_command "place mifare1k:uid=AABBCCDD"
expect 0 mifare read 0
stderr_has "warning: 3 type A cards answered"
stderr_has "UID 11223344 (SAK 08)"
stderr_has "UID AABBCCDD (SAK 08)"
stderr_has "UID 04112233445566 (SAK 00)"
expect 0 mifare read 0 --uid 11223344 --json
stdout_has '"uid": "11223344"'
checks=$((checks + 1))
! grep -q warning "$dir/stderr" "$dir/stdout" || fail "a warning although --uid named the card"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["blocks"][0]["data"].replace(" ","").startswith("11223344")' \
    "$dir/stdout" || fail "--uid 11223344 did not read that card's block 0: $(cat "$dir/stdout")"
expect 0 -u AABBCCDD mifare read 0 --json
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["blocks"][0]["data"].replace(" ","").startswith("AABBCCDD")' \
    "$dir/stdout" || fail "-u AABBCCDD did not read that card's block 0: $(cat "$dir/stdout")"
expect 0 mifare write 4 00112233445566778899AABBCCDDEEFF --uid AABBCCDD
expect 0 mifare read 4 --uid 11223344
stdout_lacks "00 11 22 33"
expect 0 mifare read 4 --uid AABBCCDD
stdout_has "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF"
expect 5 mifare read 0 --uid 99887766
stderr_has "no type A card with UID 99887766 answered (found: UID"
expect 2 mifare read 0 --uid E004010000000001
stderr_has "a type A UID has 4, 7 or 10 bytes"
# The Ultralight commands take the NTAG among them, or the one named.
expect 0 ul read 0 1
stderr_has "warning: 3 type A cards answered"
stdout_has "04 11 22"
expect 0 ul read 0 1 --uid 04112233445566
stdout_has "04 11 22"
wrong_card "not an Ultralight or NTAG tag: the card that answered is UID 11223344" ul info --uid 11223344
# Every card answers the next command: none was left halted.
expect 0 scan --json
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["count"]==3, d' "$dir/stdout" ||
    fail "scan after --uid did not find the three cards: $(cat "$dir/stdout")"
stop_sim

# Two ISO15693 labels: a warning, or the one --uid names (addressed mode).
start_sim --card icode:uid=E004010000000001 --card icode:uid=E004010000000002
expect 0 iso15693 write 1 CAFEBABE --uid E004010000000002
checks=$((checks + 1))
! grep -q warning "$dir/stderr" || fail "a warning although --uid named the label"
expect 0 iso15693 read 1 1
stderr_has "warning: 2 labels answered: E004010000000001, E004010000000002; working with E004010000000001"
expect 0 iso15693 read 1 1 --uid E004010000000002 --json
stdout_has '"uid": "E004010000000002"'
stdout_has '"data": "CAFEBABE"'
expect 0 iso15693 read 1 1 --uid E004010000000001
stdout_lacks "CA FE BA BE"
expect 2 iso15693 read 1 1 --uid 11223344
stderr_has "an ISO15693 label's UID has 8 bytes"
stop_sim

# scan decodes the ATS of a processor card (default ATS 09 78 80 70 02 'KOVA').
start_sim --card cpu-a:uid=A1B2C3D4 --card mifare1k:uid=11223344 --card cpu-a:uid=01020304
expect 0 scan --json
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["count"]==3, d' "$dir/stdout" ||
    fail "scan did not list the two processor cards and the Classic card: $(cat "$dir/stdout")"
python3 - "$dir/stdout" <<'PY' || fail "scan's ATS: $(cat "$dir/stdout")"
import json, sys
cards = {c.get("uid"): c for c in json.load(open(sys.argv[1]))["cards"]}
ats = cards["A1B2C3D4"]["ats"]
assert ats["ats"].replace(" ", "") == "09788070024B4F5641", ats
assert ats["fsci"] == 8 and ats["fsc"] == 256, ats
assert ats["ta1"] == "80" and ats["tb1"] == "70" and ats["tc1"] == "02", ats
assert ats["cid_supported"] is True and ats["nad_supported"] is False, ats
assert ats["historical_bytes"].replace(" ", "") == "4B4F5641", ats
assert "ats" not in cards["11223344"], cards
assert cards["01020304"]["ats"]["fsci"] == 8, cards
PY
# As text, the table shows each ATS as its bytes.
expect 0 scan
stdout_has "09788070024B4F5641"
stdout_lacks '"fsci"'
# apdu: the processor card --uid names, past the memory card and the other one.
expect 0 apdu 0084000008 --uid 01020304 --json
stdout_has '"uid": "01020304"'
expect 0 apdu 0084000008 --json
stdout_has '"uid": "A1B2C3D4"'
expect 5 apdu 0084000008 --uid 11223344
stderr_has "no processor card with UID 11223344 answered"
stop_sim

# Two readers with the same ids: --device by path or by serial number.
start_sim --name first --serial 0000000000000001
"$out/readersim" --dir "$dir" --no-flash-file --name second --serial 00000000000000A2 >"$dir/sim2.log" 2>&1 &
sim2=$!
for _ in $(seq 200); do grep -q "readersim: serving" "$dir/sim2.log" && break; sleep 0.05; done
second=$(sed -n 's/^readersim: serving //p' "$dir/sim2.log")
expect 0 info --device "$second" --json
stdout_has '"serial": "00000000000000A2"'
expect 0 info --device 00000000000000A2 --json
stdout_has '"serial": "00000000000000A2"'
expect 0 info --device "00 00 00 00 00 00 00 01" --json
stdout_has '"serial": "0000000000000001"'
expect 3 info --device 0102030405060708
stderr_has "no reader with ids 1A86:E010 has the serial number 0102030405060708"
stderr_has "$second (serial 00000000000000A2)"
expect 3 info --device "$dir/none.sock"
stderr_has "there is no reader at $dir/none.sock"
kill "$sim2"
wait "$sim2" 2>/dev/null
finish
