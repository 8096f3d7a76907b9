#!/usr/bin/env bash
# The whole test suite: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build, each with its CTest tests (every test
# runs in at least one of them), the fuzz harnesses built with clang, the
# concurrency tests under ThreadSanitizer and the Windows build's tests under
# wine. Every build treats warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
# Every configuration below compiles through ccache when it is installed.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
fi

echo "== build and test"
# Torvik's in-process tests run in the sanitizer build below; here the real
# program is driven from outside.
"$root/scripts/build.sh" "$root/build" -DKOVALINK_WERROR=ON -DKOVALINK_TORVIK_UNIT_TESTS=OFF
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
# Line tables are all the sanitizers' reports need; full debug information
# would only slow the build.
debug_flags=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1)
"$root/scripts/build.sh" "$root/build-asan" -DKOVALINK_WERROR=ON -DKOVALINK_SANITIZE=ON "${debug_flags[@]}"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs"

echo "== fuzz harnesses built with clang (as the README builds them), seed corpora replayed"
# Building is the check that matters (the libraries link with clang's
# sanitizer runtimes); one pass over each seed corpus costs seconds.
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DKOVALINK_FUZZ=ON -DKOVALINK_TESTS=OFF \
  -DKOVALINK_WERROR=ON >/dev/null
fuzzers=()
for corpus in "$root"/fuzz/corpus/*/; do fuzzers+=("$(basename "$corpus")_fuzz"); done
cmake --build "$root/build-fuzz" -j"$jobs" --target TavoHID KovalinkHID "${fuzzers[@]}"
for fuzzer in "${fuzzers[@]}"; do
  "$root/build-fuzz/out/$fuzzer" "$root/fuzz/corpus/${fuzzer%_fuzz}"/* 2>"$root/build-fuzz/$fuzzer.log" ||
    { cat "$root/build-fuzz/$fuzzer.log"; exit 1; }
done

echo "== concurrency tests under ThreadSanitizer"
cmake -S "$root" -B "$root/build-tsan" -DKOVALINK_WERROR=ON -DKOVALINK_TSAN=ON "${debug_flags[@]}" >/dev/null
cmake --build "$root/build-tsan" -j"$jobs" --target e2e_thread_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$root/build-tsan" --output-on-failure -R 'Concurrency|FaultMatrix.*unplug'

echo "== Windows build (x86_64, mingw-w64) and its tests under wine"
"$root/scripts/test-windows.sh" x86_64 -j"$jobs"

# This machine kind cannot run 32-bit programs (so no wine32): the i686 DLLs
# are checked without running them.
echo "== Windows i686 DLLs: export tables and stdcall returns"
"$root/scripts/test-windows.sh" i686 --static
