// Browser tests of the playground page, in Debian's Chromium, headless:
//   node tests/web/playground_test.mjs WEB_DIR MORVELIN OUT_DIR
// WEB_DIR is the built page (build-web/web), MORVELIN the native tool whose
// `apply` and `edit` the page must match, OUT_DIR where the screenshots, the
// steps and the timing go. Exits 1 on the first failed check.
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

const [webDir, morvelin, outDir] = process.argv.slice(2).map((path) => resolve(path));
mkdirSync(outDir, { recursive: true });

// ---- a plain static server on 127.0.0.1 ----
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
const address = `http://127.0.0.1:${server.address().port}/`;

let failures = 0;
let passes = 0;
function check(condition, what) {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
  if (condition) passes += 1;
  else failures += 1;
}

// `morvelin apply` on SVG text: the SVG it writes.
function apply(svgText, viscosity) {
  const dir = mkdtempSync(join(tmpdir(), 'morvelin-web-'));
  try {
    writeFileSync(join(dir, 'in.svg'), svgText);
    execFileSync(morvelin, ['apply', join(dir, 'in.svg'), '-o', join(dir, 'out.svg'), '--viscosity',
      String(viscosity)], { stdio: 'pipe' });
    return readFileSync(join(dir, 'out.svg'), 'utf8');
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// `morvelin edit` on SVG text: its table as rows keyed by step.
function edit(svgText, stored, actions) {
  const dir = mkdtempSync(join(tmpdir(), 'morvelin-web-'));
  try {
    writeFileSync(join(dir, 'in.svg'), svgText);
    const table = execFileSync(morvelin, ['edit', join(dir, 'in.svg'), '--stored', String(stored), '--actions',
      actions, '-o', join(dir, 'out.svg')], { encoding: 'utf8' });
    const rows = {};
    for (const line of table.split('\n').slice(1)) {
      const cells = line.match(/^(.+?)\s{2,}(\S+)\s+(".*?")\s+(".*?")\s+(\[.\])\s+(\S+)\s+(\d+)$/);
      if (cells) {
        rows[cells[1].trim()] = { slider: cells[2], value: cells[3], opening: cells[4], preview: cells[5],
          rate: cells[6], executed: cells[7] };
      }
    }
    return { table, rows, svg: readFileSync(join(dir, 'out.svg'), 'utf8') };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

const profile = mkdtempSync(join(tmpdir(), 'morvelin-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 640 });
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(String(error)));
  page.on('console', (message) => { if (message.type() === 'error') pageErrors.push(message.text()); });

  const runs = () => page.$eval('body', (body) => Number(body.dataset.runs));
  const ready = (after) => page.waitForFunction(
    (count) => document.body.dataset.state === 'ready' && Number(document.body.dataset.runs) > count,
    { timeout: 60000 }, after);
  const outline = () => page.$$eval('#stage #result .morvelin-outline',
    (paths) => paths.map((path) => path.getAttribute('d')).join('|'));
  const drawing = () => page.evaluate(() => new XMLSerializer().serializeToString(window.morvelinPlayground.page.drawing));
  const resultSvg = () => page.evaluate(() => window.morvelinPlayground.page.resultSvg);
  const shot = (name) => page.screenshot({ path: join(outDir, `${name}.png`) });

  // 1. The page loads with the sample and shows the outline.
  await page.goto(address);
  await ready(0);
  const first = await outline();
  check(first.length > 0, 'the stage shows the merged outline (.morvelin-outline) of the sample');
  check(await page.$$eval('#stage #sources circle', (c) => c.length) === 5, 'the five sample circles, faint');
  check((await resultSvg()) === apply(await drawing(), 50), 'the page writes what `morvelin apply` writes');
  await shot('01-loaded');

  // 2. Dragging a circle by mouse changes the outline, as `morvelin apply` does.
  const box = await (await page.$('#stage #sources circle[data-index="4"]')).boundingBox();
  let before = await runs();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 - 120, box.y + box.height / 2 + 40, { steps: 6 });
  await page.mouse.up();
  await ready(before);
  const dragged = await outline();
  check(dragged !== first, 'dragging a circle changes the outline');
  let draggedSvg = await drawing();
  check((await resultSvg()) === apply(draggedSvg, 50), 'after the drag the stage equals `morvelin apply` on the same drawing');
  await shot('02-dragged');

  // Double-click adds a circle, the wheel resizes it, Delete removes it; a
  // drawing the importer refuses leaves the stage as it was.
  const circleCount = () => page.$$eval('#stage #sources circle', (c) => c.length);
  const stageBox = await (await page.$('#stage')).boundingBox();
  before = await runs();
  await page.mouse.click(stageBox.x + 40, stageBox.y + 40, { clickCount: 2 });
  await ready(before);
  check(await circleCount() === 6, 'double-clicking the stage adds a circle');
  const added = await outline();
  before = await runs();
  await page.mouse.move(stageBox.x + 40, stageBox.y + 40);
  await page.mouse.wheel({ deltaY: -100 });
  await ready(before);
  check((await outline()) !== added, 'the wheel over the new circle resizes it and the outline follows');
  check((await resultSvg()) === apply(await drawing(), 50), 'the stage still equals `morvelin apply` on the drawing');
  await shot('02b-added');
  before = await runs();
  await page.keyboard.press('Delete');
  await ready(before);
  check(await circleCount() === 5 && (await outline()) === dragged, 'Delete removes it and the outline is as before');
  const refused = await page.evaluate(() => window.morvelinPlayground.loadDrawing('<svg xmlns="http://www.w3.org/2000/svg"><g></svg>', 'bad.svg'));
  check(!refused && (await page.$eval('#status', (s) => s.classList.contains('error'))) && (await outline()) === dragged,
    'a drawing the importer refuses is reported and the stage keeps its drawing');
  draggedSvg = await drawing();  // with the white space the added circle brought

  // 3. The dialog: slider with preview, untick, OK.
  await page.evaluate(() => {
    window.morvelinSteps = [];
    const show = window.morvelinPlayground.page.module.morvelinDialogStep;
    window.morvelinPlayground.page.module.morvelinDialogStep = (json) => { window.morvelinSteps.push(JSON.parse(json)); show(json); };
  });
  await page.click('#edit-button');
  await page.waitForFunction(() => document.getElementById('dialog').dataset.step === 'open', { timeout: 60000 });
  await shot('03-dialog-open');
  const opened = await outline();
  check(opened === dragged, 'the dialog opens with the stored rate\'s preview');
  const slider = await (await page.$('#dialog-item-5')).boundingBox();
  const from = { x: slider.x + slider.width / 2, y: slider.y + slider.height / 2 };
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(from.x + slider.width * 0.3, from.y, { steps: 5 });
  await page.mouse.up();
  await page.waitForFunction(() => (document.getElementById('dialog').dataset.step || '').startsWith('drag '), { timeout: 60000 });
  const dragStep = await page.$eval('#dialog', (d) => d.dataset.step);
  const position = Number(dragStep.split(' ')[1]);
  const previewed = await outline();
  check(position > 50 && previewed !== opened, `moving the slider (${dragStep}) with preview on changes the outline`);
  check((await resultSvg()) === apply(draggedSvg, position), 'the preview equals `morvelin apply` at the slider\'s value');
  await shot('04-slider-preview');

  await page.click('#dialog-item-6 input');
  await page.waitForFunction(() => document.getElementById('dialog').dataset.step === 'click preview', { timeout: 60000 });
  check((await outline()) === opened, 'unticking the preview restores the opening rate\'s outline');
  check(await page.$eval('#dialog-item-7', (t) => t.textContent) === '(50)', 'the opening rate shows as "(50)"');
  await shot('05-preview-off');

  before = await runs();
  await page.click('#dialog-item-1');
  await ready(before);
  const steps = await page.evaluate(() => window.morvelinSteps);
  const script = `drag ${position}; untick; ok`;
  const expected = edit(draggedSvg, 50, script);
  const rowOf = (step) => {
    const items = Object.fromEntries(step.items.map((item) => [item.id, item]));
    return { slider: String(items[5].value), value: `"${items[4].text}"`, opening: `"${items[7].text}"`,
      preview: items[6].checked ? '[x]' : '[ ]', rate: step.rate, executed: String(step.executed) };
  };
  const named = { open: 'open', [`drag ${position}`]: `drag ${position}`, 'click preview': 'untick', ok: 'ok' };
  // Every step the page took has its row in the tool's table, and every row
  // was reached: a table the test cannot read fails here.
  check(steps.length === Object.keys(named).length, `the dialog took ${steps.length} steps, as many as \`morvelin edit --actions "${script}"\` lists`);
  for (const step of steps) {
    const row = expected.rows[named[step.step]];
    check(row !== undefined && JSON.stringify(rowOf(step)) === JSON.stringify(row),
      `dialog step "${step.step}" as \`morvelin edit --actions "${script}"\` shows it${row === undefined ? ' (no such row in its table)' : ''}`);
  }
  check(await page.$eval('body', (b) => b.dataset.lastEdit) === '0 (OK)', 'OK closes the dialog with 0 (OK)');
  check((await resultSvg()) === expected.svg, 'after OK the stage equals what `morvelin edit` writes');
  check((await resultSvg()) === apply(draggedSvg, position), 'OK wrote the slider\'s value: the stage is `morvelin apply` at it');
  await shot('06-ok');

  // 4. Cancel leaves what the preview wrote.
  await page.evaluate(() => { window.morvelinSteps = []; });
  await page.click('#edit-button');
  await page.waitForFunction(() => document.getElementById('dialog').dataset.step === 'open', { timeout: 60000 });
  const slider2 = await (await page.$('#dialog-item-5')).boundingBox();
  await page.mouse.click(slider2.x + slider2.width * 0.2, slider2.y + slider2.height / 2);
  await page.waitForFunction(() => (document.getElementById('dialog').dataset.step || '').startsWith('drag '), { timeout: 60000 });
  const cancelDrag = await page.$eval('#dialog', (d) => d.dataset.step);
  before = await runs();
  await page.click('#dialog-item-2');
  await ready(before);
  const cancelled = edit(draggedSvg, position, `${cancelDrag}; cancel`);
  check(await page.$eval('body', (b) => b.dataset.lastEdit) === "'STOP' (cancelled)", 'Cancel closes the dialog as cancelled');
  check(await page.$eval('#viscosity', (v) => v.textContent) === `viscosity ${cancelled.rows.cancel.rate}`,
    `after Cancel the rate is what the preview wrote (${cancelled.rows.cancel.rate}), as \`morvelin edit\` shows`);
  check((await resultSvg()) === cancelled.svg, 'after Cancel the stage equals what `morvelin edit` writes');
  await shot('07-cancel');

  // 5. About, and the time of one go-live.
  await page.click('#about-button');
  const about = await page.$eval('#about-text', (t) => t.textContent);
  check(!(await page.$eval('#about-layer', (l) => l.hidden)) && about.length > 0, 'About shows the plug-in\'s About text');
  await shot('08-about');
  await page.click('#about-ok');
  await page.evaluate((svg) => window.morvelinPlayground.loadDrawing(svg, 'built-in sample'),
    await page.evaluate(() => JSON.parse(window.morvelinPlayground.page.module.ccall('morvelin_sample', 'string', [], [])).svg));
  const timing = await page.evaluate(() => window.morvelinPlayground.timeGoLive(21));
  const line = `one go-live of the sample in the page: ${timing.goLiveMs.toFixed(2)} ms (median of ${timing.runs}), ` +
    `${timing.roundTripMs.toFixed(2)} ms with reading and writing the SVG`;
  console.log(line);
  writeFileSync(join(outDir, 'timing.txt'), `${line}\n`);

  check(pageErrors.length === 0, `no errors in the page${pageErrors.length ? ': ' + pageErrors.join('; ') : ''}`);
} catch (error) {
  // A step that threw (a time-out, a missing element) is a failed check; the
  // counts are still written.
  check(false, `the browser tests ran to their end (${error && error.stack ? error.stack : error})`);
} finally {
  await browser.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(failures === 0 ? `browser tests: all ${passes} passed` : `browser tests: ${failures} of ${passes + failures} failed`);
// "PASSED FAILED", read by the test command.
writeFileSync(join(outDir, 'summary'), `${passes} ${failures}\n`);
process.exit(failures === 0 ? 0 : 1);
