// Browser tests of the playground page, in Debian's Chromium, headless:
//   node tests/web/playground_test.mjs WEB_DIR MORVELIN OUT_DIR
// WEB_DIR is the built page (build-web/web), MORVELIN the native tool whose
// `apply` and `edit` the page must match, OUT_DIR where the screenshots, the
// steps and the timing go. Exits 1 on the first failed check.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { launchChromium, servePage } from './page_server.mjs';

const [webDir, morvelin, outDir] = process.argv.slice(2).map((path) => resolve(path));
mkdirSync(outDir, { recursive: true });

const { server, address } = await servePage(webDir);

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

const chromium = await launchChromium();
const { browser } = chromium;
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
  // Every named step the page took has its row in the tool's table, and
  // every row was reached: a table the test cannot read fails here. The
  // "slide N" steps are the knob's moves while it is held, which the tool's
  // "drag N" row sums up.
  const taken = steps.map((step) => step.step).filter((name) => !name.startsWith('slide '));
  check(JSON.stringify(taken) === JSON.stringify(Object.keys(named)),
    `the dialog took the steps ${JSON.stringify(taken)}, those of \`morvelin edit --actions "${script}"\``);
  for (const step of steps.filter((s) => !s.step.startsWith('slide '))) {
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

  // 6. A hostile drawing, opened through the file input as a person opens
  // one: nothing of it runs, and the page's own elements and styles stay
  // as they were. Every handler would leave a mark in window.__pwned or the
  // title.
  const pageIds = await page.$$eval('[id]', (all) => all.filter((e) => !e.closest('#stage'))
    .map((e) => `${e.tagName}#${e.id}`).sort().join(' '));
  const mark = (what) => `window.__pwned=(window.__pwned||'')+'${what} ';document.title='pwned'`;
  const hostile = `<?xml version="1.0"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" viewBox="0 0 640 400"
     onload="${mark('svg-onload')}">
  <style>#open-button, header { display: none } #about-text { color: red } circle { fill: red }</style>
  <script>${mark('script')}</script>
  <script xlink:href="data:text/javascript,${mark('script-href')}"/>
  <defs><linearGradient id="open-button"><stop offset="0" stop-color="#2a6f97"/></linearGradient></defs>
  <circle id="about-text" class="selected morvelin-outline" cx="200" cy="200" r="60" fill="url(#open-button)"
          onmouseover="${mark('onmouseover')}" onclick="${mark('onclick')}">
    <animate attributeName="r" values="60;61" dur="0.1s" begin="0s" onbegin="${mark('onbegin')}"/>
    <set attributeName="fill" to="red" begin="0s" onbegin="${mark('set-onbegin')}"/>
  </circle>
  <circle id="status" cx="290" cy="200" r="50" style="fill:#2a6f97;stroke:url(javascript:alert(1))"/>
  <a href="javascript:${mark('link')}"><circle id="the-link" cx="380" cy="200" r="55" fill="#2a6f97"/></a>
  <a xlink:href="javascript:${mark('xlink')}"><rect x="500" y="50" width="60" height="60"/></a>
  <image href="missing.png" width="10" height="10" onerror="${mark('image-onerror')}"/>
  <foreignObject x="0" y="0" width="200" height="100">
    <img xmlns="http://www.w3.org/1999/xhtml" src="missing.png" onerror="${mark('img-onerror')}"/>
    <iframe xmlns="http://www.w3.org/1999/xhtml" srcdoc="&lt;script&gt;parent.__pwned='iframe';parent.document.title='pwned'&lt;/script&gt;"/>
  </foreignObject>
  <use href="data:image/svg+xml,&lt;svg xmlns='http://www.w3.org/2000/svg' onload='${mark('use-data')}'/&gt;#x"/>
  <use href="#the-link" x="0" y="120"/>
</svg>
`;
  // The page's policy reports each inline handler and style attribute it
  // refuses, also those of the drawing's own parsed document (which never
  // runs them); those reports are counted apart from the page's errors.
  let refusedByPolicy = 0;
  const setPolicyReportsAside = (from) => {
    const since = pageErrors.splice(from);
    const kept = since.filter((text) => !/Content Security Policy/.test(text));
    refusedByPolicy += since.length - kept.length;
    pageErrors.push(...kept);
  };
  const errorsBeforeHostile = pageErrors.length;
  const dir = mkdtempSync(join(tmpdir(), 'morvelin-hostile-'));
  const hostileFile = join(dir, 'hostile.svg');
  writeFileSync(hostileFile, hostile);
  before = await runs();
  await (await page.$('#open-file')).uploadFile(hostileFile);
  await ready(before);
  check(await page.evaluate(() => window.morvelinPlayground.page.name) === 'hostile.svg',
    'the hostile drawing opens through the file input');
  check(await page.$$eval('#stage #sources circle', (c) => c.length) === 3 && (await outline()).length > 0,
    'the stage shows its three circles and their outline');
  const linkBox = await (await page.$('#stage #sources circle[data-index="2"]')).boundingBox();
  await page.mouse.move(200 + stageBox.x, 200 * stageBox.height / 400 + stageBox.y);
  await page.mouse.click(linkBox.x + linkBox.width / 2, linkBox.y + linkBox.height / 2);
  await new Promise((done) => setTimeout(done, 1500));  // the animations' begin, the images' errors
  await shot('09-hostile');
  check(await page.evaluate(() => window.__pwned) === undefined && (await page.title()) === 'Morvelin playground',
    `nothing of the drawing ran (${await page.evaluate(() => window.__pwned)})`);
  const stageHolds = await page.$$eval('#stage *', (all) => {
    const found = [];
    for (const e of all) {
      if (!['g', 'path', 'circle', 'rect', 'use', 'linearGradient', 'stop', 'defs'].includes(e.localName)) found.push(e.localName);
      for (const a of e.attributes) {
        if (/^on/i.test(a.name) || a.name === 'style' || (a.name === 'class' && !/^(selected|morvelin-outline)$/.test(a.value)) ||
            (/href$/.test(a.name) && !a.value.startsWith('#drawing-')) || /javascript:|data:/i.test(a.value)) found.push(`${e.localName}[${a.name}=${a.value}]`);
      }
      if (e.id && !/^drawing-[sr]-/.test(e.id) && !['sources', 'result', 'handles', 'radius-handle'].includes(e.id)) found.push(`#${e.id}`);
    }
    return found;
  });
  check(stageHolds.length === 0, `the stage holds only drawing elements with drawing attributes${stageHolds.length ? ': ' + stageHolds.join(', ') : ''}`);
  check(await page.$$eval('[id]', (all) => all.filter((e) => !e.closest('#stage'))
    .map((e) => `${e.tagName}#${e.id}`).sort().join(' ')) === pageIds, 'the page\'s own elements keep their ids');
  check(await page.$eval('#open-button', (b) => getComputedStyle(b).display !== 'none' && b.getBoundingClientRect().width > 0) &&
    await page.$eval('header', (h) => getComputedStyle(h).display) === 'flex', 'the drawing\'s style sheet reaches nothing of the page');
  check(await page.$eval('#stage #sources circle[data-index="0"]', (c) => getComputedStyle(c).fill) !== 'rgb(255, 0, 0)',
    'nor the drawing\'s own circles');
  const hostileOutput = apply(await drawing(), await page.evaluate(() => window.morvelinPlayground.page.viscosity));
  check((await resultSvg()) === hostileOutput && hostileOutput.includes('onload='),
    'the tool\'s output is kept as `morvelin apply` writes it, the drawing\'s handlers and all');
  const downloaded = await page.evaluate(async () => {
    const make = URL.createObjectURL;
    let blob = null;
    URL.createObjectURL = (b) => { blob = b; return make(b); };
    document.getElementById('download-button').click();
    URL.createObjectURL = make;
    return blob.text();
  });
  check(downloaded === (await resultSvg()), 'Download SVG gives the tool\'s output as it is');
  await page.click('#about-button');
  check(await page.$eval('#about-text', (t) => t.tagName === 'PRE' && t.closest('#about-layer') !== null) &&
    await page.$eval('#about-text', (t) => t.textContent) === about, 'About still shows the plug-in\'s About text in the page\'s own box');
  await page.click('#about-ok');
  // Dragging still works on the drawing's circles.
  const hostileBox = await (await page.$('#stage #sources circle[data-index="1"]')).boundingBox();
  const hostileOutline = await outline();
  before = await runs();
  await page.mouse.move(hostileBox.x + hostileBox.width / 2, hostileBox.y + hostileBox.height / 2);
  await page.mouse.down();
  await page.mouse.move(hostileBox.x + hostileBox.width / 2, hostileBox.y + hostileBox.height / 2 + 60, { steps: 4 });
  await page.mouse.up();
  await ready(before);
  check((await outline()) !== hostileOutline &&
    (await resultSvg()) === apply(await drawing(), await page.evaluate(() => window.morvelinPlayground.page.viscosity)),
    'a circle of the hostile drawing drags, and the stage equals `morvelin apply` after it');
  setPolicyReportsAside(errorsBeforeHostile);
  // The page forbids inline script of its own accord, too.
  const errorsBefore = pageErrors.length;
  check(await page.evaluate(() => {
    const script = document.createElement('script');
    script.textContent = 'window.__inline = 1';
    document.body.appendChild(script);
    return window.__inline;
  }) === undefined, 'the page\'s Content-Security-Policy refuses inline script');
  await new Promise((done) => setTimeout(done, 200));
  pageErrors.splice(errorsBefore);
  rmSync(dir, { recursive: true, force: true });

  // A real drawing (Inkscape's examples, when installed) still shows.
  const example = '/usr/share/inkscape/examples/markers.svg';
  if (existsSync(example)) {
    const errorsBeforeExample = pageErrors.length;
    before = await runs();
    await (await page.$('#open-file')).uploadFile(example);
    await ready(before);
    const drawn = await page.$eval('#stage #sources', (g) => { const b = g.getBBox(); return b.width * b.height; });
    check(drawn > 0, 'a real drawing (Inkscape\'s markers.svg) shows on the stage');
    await shot('10-real-drawing');
    setPolicyReportsAside(errorsBeforeExample);
  }
  console.log(`the page's policy refused ${refusedByPolicy} inline handlers and styles of the drawings' own documents`);

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
  await chromium.close();
  server.close();
}
console.log(failures === 0 ? `browser tests: all ${passes} passed` : `browser tests: ${failures} of ${passes + failures} failed`);
// "PASSED FAILED", read by the test command.
writeFileSync(join(outDir, 'summary'), `${passes} ${failures}\n`);
process.exit(failures === 0 ? 0 : 1);
