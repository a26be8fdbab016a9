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
  librsvg2-dev libgeos-dev fonts-dejavu-core libfast-float-dev libfmt-dev zlib1g-dev
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

# Source packages of the libraries the Win32 stand-in host is compiled with
# (scripts/win-deps.sh runs `apt-get source`), and bookworm-backports for its
# qemu-user: wine's 32-bit loader runs under qemu-i386 where the kernel runs
# no 32-bit programs, and Debian 12's own qemu 7.2 takes about a minute per
# wine start there.
apt_lists_changed=0
add_source() {  # file, types, suite
  if [ ! -e "/etc/apt/sources.list.d/$1" ]; then
    printf 'Types: %s\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$2" "$3" >"/etc/apt/sources.list.d/$1"
    apt_lists_changed=1
  fi
}
add_source morvelin-src.sources deb-src bookworm
add_source morvelin-backports.sources deb bookworm-backports

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

if [ "$apt_lists_changed" -eq 1 ] && [ ${#missing[@]} -eq 0 ]; then
  apt-get -o DPkg::Lock::Timeout=1800 update -qq
fi
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
if ! dpkg --compare-versions "${qemu_version:-0}" ge 1:8; then
  echo "Installing qemu-user from bookworm-backports"
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=1800 install -y -qq --no-install-recommends \
    -t bookworm-backports qemu-user
fi
