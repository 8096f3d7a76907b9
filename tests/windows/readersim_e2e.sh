#!/usr/bin/env bash
# The Windows build against the Linux readersim: readersim serves its TCP
# endpoint, and the Windows caller under wine finds it through the port file
# in the folder TAVOHID_VIRTUAL_DIR names (as a Windows path).
# Usage: readersim_e2e.sh READERSIM WINE CALLER.EXE
set -euo pipefail
readersim=$1 wine=$2 caller=$3
dir=$(mktemp -d)
trap 'kill $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
"$readersim" --dir "$dir" --tcp --no-flash-file --card mifare1k:uid=A1B2C3D4 </dev/null >"$dir/sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q "127.0.0.1" "$dir/sim.log" && break; sleep 0.05; done
cat "$dir/sim.log"
test "$(stat -c %a "$dir"/*.tcp)" = 600
# A host without the token is cut off before any report reaches the reader.
# The server may close the connection before the second write: that write
# must fail with EPIPE, not end the script by the signal.
trap '' PIPE
read -r port _ <"$dir"/*.tcp
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf '%032d' 0 >&3
printf '\x00\x08\x02\x00\x00\x04\x1d\x0a\x2b\x03%023d' 0 >&3 || true
test "$(timeout 5 cat <&3 | wc -c)" = 0
exec 3<&-
cd "$(dirname "$caller")"
TAVOHID_VIRTUAL_DIR="Z:${dir//\//\\}" "$wine" "$caller"
