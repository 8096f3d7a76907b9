#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages.
set -euo pipefail
packages=(build-essential cmake pkg-config git
          libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
          libssl-dev
          # the fuzz harnesses: clang and its sanitizer and libFuzzer runtimes
          clang libclang-rt-dev
          # the PC/SC driver and its test: pcsc-lite headers, the daemon, pcsc_scan
          libpcsclite-dev pcscd pcsc-tools
          # the HTML reference and the Python module's tests
          doxygen python3
          # torvik, the Qt test program, and its tests: Qt 6 Widgets, a
          # virtual display, the accessibility bus and its Python client,
          # screenshots, and fonts for the Chinese texts and the toolbar
          qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6test6 libgl-dev libx11-dev
          xvfb xauth dbus dbus-x11 at-spi2-core python3-pyatspi gir1.2-atspi-2.0
          imagemagick fonts-wqy-microhei fonts-dejavu-extra
          # the Windows build: mingw-w64 cross compilers (posix threads),
          # GoogleTest's sources to build with them, and wine to run the tests
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools googletest
          wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
