#!/usr/bin/env bash
# Builds the Windows zip with CPack and checks what it holds: the two DLLs,
# kovalink.exe and readersim.exe side by side, the headers, the import libraries and the
# README for Windows users, and nothing of the tests.
# Usage: package_listing.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G ZIP -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
zip=$(ls "$out"/kovalink-*-windows-*.zip)
python3 -m zipfile -l "$zip" | awk 'NR > 1 {print $1}' | sed 's|^[^/]*/||' | grep -v '/$' | sort >"$out/listing"
cat "$out/listing"
status=0
for want in TavoHID.dll KovalinkHID.dll kovalink.exe readersim.exe README-windows.txt include/KovalinkHID.h include/kv_api.h \
            include/kovalink/api.h include/kovalink/mifare.h include/kovalink/version.h lib/KovalinkHID.dll.a; do
    grep -qx "$want" "$out/listing" || { echo "missing: $want"; status=1; }
done
if grep -E '(test|caller|probe)' "$out/listing"; then
    echo "test programs in the package"
    status=1
fi
exit $status
