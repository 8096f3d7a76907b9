#!/usr/bin/env bash
# Every command's --json output a script can use: it parses, booleans are
# JSON booleans, counts and numbers are numbers, hex is one run of
# upper-case digits, and failures carry the function and numeric status.
source "$(dirname "$0")/lib.sh" "$1"

# The checks on one output; the command line names the failure.
cat >"$dir/check.py" <<'PY'
import json, re, sys

NUMBER_KEYS = {"count", "block", "page", "sector", "exit_code", "status", "length", "pages", "blocks_read",
               "value", "address", "fsc", "fsci", "exchanges", "counter", "sectors", "first", "last"}
problems = []

def walk(value, path):
    if isinstance(value, dict):
        for key, item in value.items():
            if key in NUMBER_KEYS and isinstance(item, str):
                problems.append(f"{path}.{key} is the string {item!r}, not a number")
            walk(item, f"{path}.{key}")
    elif isinstance(value, list):
        for i, item in enumerate(value):
            walk(item, f"{path}[{i}]")
    elif isinstance(value, str):
        if value.lower() in ("true", "false", "yes", "no"):
            problems.append(f"{path} is the string {value!r}, not a boolean")
        if re.fullmatch(r"[0-9A-Fa-f]{2}([ :][0-9A-Fa-f]{2})+", value):
            problems.append(f"{path} is hex with separators: {value!r}")
        if re.fullmatch(r"[0-9A-Fa-f]{4,}", value) and value != value.upper():
            problems.append(f"{path} is lower-case hex: {value!r}")

try:
    out = json.load(open(sys.argv[1]))
except ValueError as e:
    print(f"does not parse: {e}")
    sys.exit(1)
walk(out, "$")
if sys.argv[2] != "0":
    for key in ("error", "exit_code"):
        if key not in out:
            problems.append(f"a failure without {key}")
    if out.get("exit_code") != int(sys.argv[2]):
        problems.append(f"exit_code {out.get('exit_code')} is not the exit code {sys.argv[2]}")
if len(sys.argv) > 3:  # a reader's refusal: the function and its numeric status
    if out.get("function") != sys.argv[3] or not isinstance(out.get("status"), int):
        problems.append(f"no function {sys.argv[3]} with a numeric status")
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY

# json RC ARGS...: kovalink ARGS --json exits RC and its output passes the checks.
json() {
    local want=$1
    shift
    expect "$want" "$@" --json
    checks=$((checks + 1))
    local why
    why=$(python3 "$dir/check.py" "$dir/stdout" "$want") || fail "kovalink $* --json: $why"
}

# refused RC FUNCTION ARGS...: as json(), and the failure names FUNCTION and its status.
refused() {
    local want=$1 function=$2
    shift 2
    expect "$want" "$@" --json
    checks=$((checks + 1))
    local why
    why=$(python3 "$dir/check.py" "$dir/stdout" "$want" "$function") || fail "kovalink $* --json: $why"
}

start_sim --card mifare1k:uid=11223344 --card ntag213:uid=04112233445566 --card icode:uid=E004010000000001 \
    --card cpu-a:uid=A1B2C3D4
json 0 info
json 0 list
json 0 scan
json 0 raw 0x16
json 0 flash read 0 8
json 0 mifare search --uid 11223344
json 0 mifare read 0 --uid 11223344
json 0 mifare read --sector 1 --uid 11223344
json 0 mifare write 4 00112233445566778899AABBCCDDEEFF --uid 11223344
json 0 mifare value set 5 100 --uid 11223344
json 0 mifare value get 5 --uid 11223344
json 0 mifare keys --uid 11223344
json 0 mifare dump "$dir/card.mfd" --uid 11223344
json 0 mifare acl decode FF078069
json 0 ul info
json 0 ul read 0 8
json 0 ul fast-read 4 7
json 0 ul write 4 01020304
json 0 ul dump "$dir/tag.bin"
json 0 iso15693 inventory
json 0 iso15693 info
json 0 iso15693 read 0 4 --security
json 0 iso15693 write 1 01020304
json 0 apdu 0084000008
json 0 crypto des --key 0123456789ABCDEF 4E6F772069732074
refused 5 rf_M1_authentication2 mifare read 4 --uid 11223344 --key 000000000000
refused 5 rf_Ntag_Password_Auth ul auth --password 00000000
json 2 mifare read 300 --uid 11223344
json 2 --no-such-option
json 5 mifare read 0 --uid 99887766
finish
