#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages.
set -euo pipefail
packages=(build-essential cmake pkg-config git
          libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
          libssl-dev doxygen python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
