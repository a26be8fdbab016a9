#!/usr/bin/env bash
# Regenerates every picture the documentation shows:
#   docs/sample-outline.svg and .png   `morvelin apply` on the built-in sample (librsvg draws the PNG)
#   docs/inkscape-before.png, -after   tests/data/inkscape/circles.svg drawn by Inkscape, before and after
#                                      the extension ran on c1, c2 and c3 at viscosity 50
#   web/screenshot.png                 the playground in headless Chromium: the sample with one circle
#                                      dragged, the dialog open, the slider moved with the preview ticked
# Builds build/morvelin (the native tool) first. The Inkscape pictures need inkscape and xvfb-run, the
# screenshot emscripten, node and chromium; a part whose tools are missing is skipped with a line saying so.
#   scripts/pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."

skipped=0
echo "== the morvelin tool (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target morvelin -j "$(nproc)"

echo "== docs/sample-outline.svg and docs/sample-outline.png"
build/morvelin apply -o docs/sample-outline.svg --png docs/sample-outline.png

echo "== docs/inkscape-before.png and docs/inkscape-after.png"
if command -v inkscape >/dev/null && command -v xvfb-run >/dev/null; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export INKSCAPE_PROFILE_DIR="$work/profile"
  bash scripts/install-inkscape-extension.sh
  # The viscosity the extension's .noprefs action uses: its last parameters.
  cat >"$INKSCAPE_PROFILE_DIR/preferences.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<inkscape xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" version="1.2">
  <group id="extensions" org.tessik.morvelin.viscosity="50" />
</inkscape>
XML
  png="export-type:png;export-width:360;export-background:white;export-background-opacity:1"
  for picture in before after; do
    actions="$png;export-filename:$work/$picture.png;export-do"
    [ "$picture" = after ] && actions="select-by-id:c1,c2,c3;org.tessik.morvelin.noprefs;$actions"
    timeout -k 10 300 xvfb-run -a inkscape tests/data/inkscape/circles.svg --batch-process \
      --actions="$actions" >"$work/$picture.log" 2>&1 || true
    if [ ! -s "$work/$picture.png" ]; then
      echo "pictures.sh: Inkscape wrote no $picture picture:" >&2
      cat "$work/$picture.log" >&2
      exit 1
    fi
    mv "$work/$picture.png" "docs/inkscape-$picture.png"
  done
  unset INKSCAPE_PROFILE_DIR
else
  echo "SKIPPED docs/inkscape-*.png: inkscape or xvfb-run is missing (scripts/install-deps.sh installs them)"
  skipped=1
fi

echo "== web/screenshot.png"
if command -v emcc >/dev/null && command -v node >/dev/null && command -v npm >/dev/null && [ -x /usr/bin/chromium ]; then
  bash scripts/build.sh web
  # The browser test's pinned driver, puppeteer-core (it never downloads a browser).
  (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)
  # The page with the sample, the far circle dragged in, and the dialog open
  # with the slider moved and the preview ticked.
  root=$PWD
  node tests/web/screenshot.mjs "$root/build-web/web" "$root/web/screenshot.png"
else
  echo "SKIPPED web/screenshot.png: emscripten, node, npm or chromium is missing (scripts/install-deps.sh installs them)"
  skipped=1
fi

echo "pictures: written$([ $skipped = 0 ] || echo ', some skipped (see above)'); git diff --stat shows which changed"
