#!/usr/bin/env bash
# Installs the Morvelin extension into the user's Inkscape extensions folder
# (the folder `inkscape --user-data-directory` names, which honours
# INKSCAPE_PROFILE_DIR): the .inx file, its launcher morvelin-inkscape.py and
# the morvelin tool beside them (which the launcher runs before one on PATH),
# built first when build/morvelin is missing or older than the sources.
# Afterwards: Extensions > Tessik plug-ins > Morvelin... (restart Inkscape).
set -euo pipefail
cd "$(dirname "$0")/.."

# The tool's build stage and Inkscape itself, when missing.
bash scripts/install-deps.sh build inkscape

tool=build/morvelin
if [ ! -x "$tool" ] || [ -n "$(find CMakeLists.txt cli blend plugin params menus resources standin host_api \
    -newer "$tool" -type f -print -quit)" ]; then
  echo "Building the morvelin tool"
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target morvelin -j "$(nproc)"
fi

data=$(inkscape --user-data-directory 2>/dev/null | tail -n 1)
if [ -z "$data" ]; then
  echo "install-inkscape-extension: inkscape did not name its user data folder" >&2
  exit 1
fi
target="$data/extensions"
mkdir -p "$target"
install -m 0644 inkscape/morvelin.inx "$target/morvelin.inx"
install -m 0755 inkscape/morvelin-inkscape.py "$target/morvelin-inkscape.py"
# The shell launcher that earlier installs put there.
rm -f "$target/morvelin-inkscape.sh"
# Through a temporary name, so that a running Inkscape never sees half a file.
install -m 0755 "$tool" "$target/.morvelin.new"
mv -f "$target/.morvelin.new" "$target/morvelin"
echo "Installed the Morvelin extension in $target"
