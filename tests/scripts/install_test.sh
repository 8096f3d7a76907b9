#!/usr/bin/env bash
# As an application developer meets it: install, build the example against
# the installed package with find_package and with pkg-config, run both
# against the installed readersim; then the same from the Debian package.
set -euo pipefail
build=$1
src=$2
work=$(mktemp -d)
trap 'kill $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
sim=

run_against_readersim() {  # <readersim> <program>...
  local dir=$work/devices
  mkdir -p "$dir"; chmod 700 "$dir"
  TAVOHID_VIRTUAL_DIR=$dir "$1" --dir "$dir" --no-flash-file </dev/null >"$work/sim.log" 2>&1 &
  sim=$!
  for _ in $(seq 100); do grep -q serving "$work/sim.log" && break; sleep 0.05; done
  shift
  for program in "$@"; do
    TAVOHID_VIRTUAL_DIR=$dir "$program" | tee "$work/out.txt"
    grep -qx "beeped" "$work/out.txt"
  done
  kill $sim; wait $sim 2>/dev/null || true
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name libKovalinkHID.so | head -1)")

cmake -S "$src/examples/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
# pkg-config alone gives what a program under this private prefix needs to
# start: no -rpath of our own, no LD_LIBRARY_PATH.
cc "$src/examples/reader_info.c" $(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs kovalinkhid) \
  -o "$work/pc_reader_info"
run_against_readersim "$prefix/bin/readersim" "$work/consumer/reader_info" "$work/pc_reader_info"

# The version header, the Python module beside the library, the reference.
grep -q "define KOVALINKHID_LIB_VER 19" "$prefix/include/kovalink/version.h"
test ! -e "$prefix/include/kovalink/version.h.in"
PYTHONPATH=$prefix/lib/python3/dist-packages python3 -c \
  'import kovalinkhid as k; assert k.library_version() == 19 and k.status_text(0x0A) == "no card answered"'
if command -v doxygen >/dev/null; then test -f "$prefix/share/doc/Kovalink/reference/index.html"; fi
test -f "$prefix/share/doc/Kovalink/calling-order.md"
test -f "$prefix/share/doc/Kovalink/examples/mifare_classic.c"

# torvik, installed in bin/, finds the command library in the installed
# library folder: it starts, connects and shows its window.
check_torvik() {  # <bin folder>
  [ -x "$1/torvik" ] || return 0
  /usr/bin/python3 "$src/tests/demo/atspi/torvik_driver.py" "$1" --screenshot "$work/torvik.png" >/dev/null
  test -s "$work/torvik.png"
}
check_torvik "$prefix/bin"

# The Debian package, unpacked into a temporary root.
(cd "$build" && cpack -G DEB >/dev/null 2>&1)
deb=$(ls "$build"/kovalink_*.deb | head -1)
dpkg-deb -c "$deb" >"$work/contents.txt"
grep -q "lib/udev/rules.d/70-kovalink-reader.rules" "$work/contents.txt"
root=$work/root
dpkg-deb -x "$deb" "$root"
debdir=$(dirname "$(find "$root" -name libKovalinkHID.so | head -1)")
cc "$src/examples/reader_info.c" -I"$root/usr/include" -L"$debdir" -lKovalinkHID -Wl,-rpath,"$debdir" -o "$work/deb_reader_info"
run_against_readersim "$root/usr/bin/readersim" "$work/deb_reader_info"
# Under /usr the loader finds the library: no run path in the package's .pc.
grep -qx 'Libs: -L${libdir} -lKovalinkHID' "$(find "$root" -name kovalinkhid.pc)"
grep -q "usr/lib/python3/dist-packages/kovalinkhid/__init__.py" "$work/contents.txt"
PYTHONPATH=$root/usr/lib/python3/dist-packages python3 -c 'import kovalinkhid as k; assert k.library_version() == 19'
check_torvik "$root/usr/bin"
echo "install test passed"
