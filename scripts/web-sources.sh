#!/usr/bin/env bash
# Unpacks the Debian source packages the WebAssembly build compiles from:
# pugixml and libpolyclipping (Debian ships them only as native libraries).
#   scripts/web-sources.sh DIR   -> DIR/pugixml/, DIR/libpolyclipping/
# Adds Debian's source index (deb-src) to apt's sources when it has none.
set -euo pipefail
dir=$1
if [ -f "$dir/pugixml/src/pugixml.cpp" ] && [ -f "$dir/libpolyclipping/cpp/clipper.cpp" ]; then exit 0; fi

if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  cat >/etc/apt/sources.list.d/morvelin-src.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt-get -o DPkg::Lock::Timeout=1800 update -qq
fi

mkdir -p "$dir/download"
for package in pugixml libpolyclipping; do
  rm -rf "${dir:?}/$package"
  (cd "$dir/download" && rm -rf "$package"-[0-9]* && apt-get source -qq "$package" >/dev/null)
  mv "$dir/download/$package"-[0-9]*/ "$dir/$package"
done
