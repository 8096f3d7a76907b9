#!/usr/bin/env bash
# Configures and builds one flavour: build.sh <build-dir> [cmake options...]
# Compiles through ccache when it is installed, so rebuilding the same sources
# (another flavour's unchanged files, a fresh clone) costs little.
set -euo pipefail
dir=$1; shift
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Needed for ccache to cache sources compiled with a precompiled header.
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
fi
cmake -S "$(dirname "$0")/.." -B "$dir" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
