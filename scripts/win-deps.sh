#!/usr/bin/env bash
# Sources of the libraries the Win32 stand-in host is compiled with, from
# Debian: Clipper (source package libpolyclipping) and pugixml by
# `apt-get source` (deb-src entry from scripts/install-deps.sh), CLI11's
# headers from libcli11-dev. Unpacked once into DIR (default build-win/deps);
# cmake/win32-host.cmake compiles them with mingw-w64.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-win/deps}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

fetch() {  # source package, folder it unpacks to (glob)
  if ! compgen -G "$dir/$2" >/dev/null; then
    (cd "$dir" && apt-get source -qq "$1" >"$dir/$1.log" 2>&1) ||
      { echo "win-deps: apt-get source $1 failed (bash scripts/install-deps.sh win adds the deb-src entry); see $dir/$1.log" >&2; exit 1; }
  fi
}
fetch libpolyclipping 'libpolyclipping-*/cpp/clipper.cpp'
fetch pugixml 'pugixml-*/src/pugixml.cpp'

# Headers where the sources include them: <polyclipping/clipper.hpp>,
# <pugixml.hpp>, <CLI/CLI.hpp>.
mkdir -p "$dir/include/polyclipping"
cp "$dir"/libpolyclipping-*/cpp/clipper.hpp "$dir/include/polyclipping/"
cp "$dir"/pugixml-*/src/pugixml.hpp "$dir"/pugixml-*/src/pugiconfig.hpp "$dir/include/"
rm -rf "$dir/include/CLI" && cp -r /usr/include/CLI "$dir/include/CLI"
# fast_float and fmt (header-only) for the tool's number text.
for header in fast_float fmt; do
  rm -rf "$dir/include/$header" && cp -r "/usr/include/$header" "$dir/include/$header"
done
