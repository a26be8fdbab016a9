#!/usr/bin/env bash
# Unpacks the Debian source packages the WebAssembly build compiles from:
# pugixml and libpolyclipping (Debian ships them only as native libraries).
#   scripts/web-sources.sh DIR   -> DIR/pugixml/, DIR/libpolyclipping/
# Debian's source index (deb-src) is added by `scripts/install-deps.sh web`.
set -euo pipefail
dir=$1
if [ -f "$dir/pugixml/src/pugixml.cpp" ] && [ -f "$dir/libpolyclipping/cpp/clipper.cpp" ]; then exit 0; fi

mkdir -p "$dir/download"
for package in pugixml libpolyclipping; do
  rm -rf "${dir:?}/$package"
  (cd "$dir/download" && rm -rf "$package"-[0-9]* && apt-get source -qq "$package" >"$package.log" 2>&1) ||
    { echo "web-sources: apt-get source $package failed (bash scripts/install-deps.sh web adds the deb-src entry); see $dir/download/$package.log" >&2; exit 1; }
  mv "$dir/download/$package"-[0-9]*/ "$dir/$package"
done
