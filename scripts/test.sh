#!/usr/bin/env bash
# The whole test suite: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build, each with every CTest test, and the
# concurrency tests under ThreadSanitizer. Every build treats warnings as
# errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)

echo "== build and test"
"$root/scripts/build.sh" "$root/build" -DKOVALINK_WERROR=ON
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DKOVALINK_WERROR=ON -DKOVALINK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs"

echo "== concurrency tests under ThreadSanitizer"
cmake -S "$root" -B "$root/build-tsan" -DKOVALINK_WERROR=ON -DKOVALINK_TSAN=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-tsan" -j"$jobs" --target e2e_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$root/build-tsan" --output-on-failure -R 'Concurrency|FaultMatrix.*unplug'

echo "== Windows build (x86_64, mingw-w64) and its tests under wine"
"$root/scripts/test-windows.sh" x86_64 -j"$jobs"
