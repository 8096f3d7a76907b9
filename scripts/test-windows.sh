#!/usr/bin/env bash
# Cross-builds the Windows DLLs and tests with mingw-w64 and runs the tests
# under wine. Usage: scripts/test-windows.sh [x86_64|i686] [--static]
# (default x86_64; i686 needs wine32, which needs the i386 architecture: see
# the README). --static builds the two DLLs only and runs the checks that
# need no wine: the export tables and, on i686, the stdcall returns.
# Build folder: build-win-<arch>; extra arguments go to ctest.
set -euo pipefail
arch=${1:-x86_64}
shift || true
static=0
if [ "${1:-}" = --static ]; then
  static=1
  shift
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-win-$arch
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# The end-to-end tests run against the Linux readersim of the normal build
# (scripts/test.sh builds it first; build it with scripts/build.sh otherwise),
# or the one $KOVALINK_READERSIM names.
readersim=()
linux_readersim=${KOVALINK_READERSIM:-$root/build/out/readersim}
[ -x "$linux_readersim" ] && readersim=(-DKOVALINK_READERSIM="$linux_readersim")
# Optimised as shipped, without debugging information: the package is
# stripped anyway, and mingw's debugging information makes the build a fifth
# slower and the programs eight times larger.
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$arch.cmake" \
      -DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 \
      -DKOVALINK_WERROR=ON "${launcher[@]}" "${readersim[@]}"
if [ $static = 1 ]; then
  targets=(TavoHID KovalinkHID)
  [ "$arch" = i686 ] && targets+=(stdcall_probe)
  cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
  cd "$build" && exec ctest --output-on-failure -L pe "$@"
fi
cmake --build "$build" -j"$(nproc)"
# A wine prefix of its own (wine creates it on first use), a persistent
# wineserver and one throw-away run first: otherwise the first test can hang
# on output pipes that wine's starting services keep open.
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 || true  # one may be running already
wine cmd /c exit >/dev/null 2>&1 || true
status=0
(cd "$build" && ctest --output-on-failure "$@") || status=$?
wineserver -k || true
exit $status
