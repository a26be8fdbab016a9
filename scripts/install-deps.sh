#!/usr/bin/env bash
# Installs the Debian packages Morvelin builds and tests with. Safe to run
# again: it asks apt only for what is missing, and waits for another apt run
# to finish instead of failing on its lock.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  libpolyclipping-dev libpugixml-dev libcairo2-dev libcli11-dev
  librsvg2-dev libgeos-dev fonts-dejavu-core libfast-float-dev libfmt-dev
  python3 python3-pefile python3-lxml python3-numpy python3-shapely
  clang libclang-rt-14-dev gcovr
  wine wine32:i386 wine64 qemu-user
  inkscape xvfb xauth adwaita-icon-theme papirus-icon-theme
  emscripten node-acorn chromium
)

# npm fetches the browser tests' pinned driver (puppeteer-core); a node that
# brings its own npm needs no Debian one.
command -v npm >/dev/null || packages+=(npm)

# wine32 is an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=1800 update -qq
  apt-get -o DPkg::Lock::Timeout=1800 install -y -qq --no-install-recommends "${missing[@]}"
fi
