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
  (cd tests/web && node --input-type=module - "$root/build-web/web" "$root/web/screenshot.png") <<'JS'
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';
import puppeteer from 'puppeteer-core';

const [webDir, picture] = process.argv.slice(2);
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const path = new URL(request.url, 'http://127.0.0.1').pathname;
  const file = join(webDir, path === '/' ? 'index.html' : path);
  try {
    const body = readFileSync(file);
    response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404);
    response.end();
  }
});
await new Promise((done) => server.listen(0, '127.0.0.1', done));
const profile = mkdtempSync(join(tmpdir(), 'morvelin-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 640 });
  const runs = () => page.$eval('body', (body) => Number(body.dataset.runs));
  const ready = (after) => page.waitForFunction(
    (count) => document.body.dataset.state === 'ready' && Number(document.body.dataset.runs) > count,
    { timeout: 120000 }, after);
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await ready(0);
  const box = await (await page.$('#stage #sources circle[data-index="4"]')).boundingBox();
  const before = await runs();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 - 120, box.y + box.height / 2 + 40, { steps: 6 });
  await page.mouse.up();
  await ready(before);
  await page.click('#edit-button');
  await page.waitForFunction(() => document.getElementById('dialog').dataset.step === 'open', { timeout: 120000 });
  const slider = await (await page.$('#dialog-item-5')).boundingBox();
  const from = { x: slider.x + slider.width / 2, y: slider.y + slider.height / 2 };
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(from.x + slider.width * 0.3, from.y, { steps: 5 });
  await page.mouse.up();
  await page.waitForFunction(() => (document.getElementById('dialog').dataset.step || '').startsWith('drag '),
    { timeout: 120000 });
  await page.screenshot({ path: picture });
  console.log(`wrote ${picture}`);
} finally {
  await browser.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}
JS
else
  echo "SKIPPED web/screenshot.png: emscripten, node, npm or chromium is missing (scripts/install-deps.sh installs them)"
  skipped=1
fi

echo "pictures: written$([ $skipped = 0 ] || echo ', some skipped (see above)'); git diff --stat shows which changed"
