#!/usr/bin/env bash
# Installs the Debian packages Morvelin builds and tests with. Safe to run
# again: it asks apt only for what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  libpolyclipping-dev libpugixml-dev libcairo2-dev libcli11-dev
  python3 python3-pefile
  clang libclang-rt-14-dev gcovr
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
