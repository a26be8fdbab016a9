// The playground's screenshot for the docs: the sample with the far circle
// dragged in, and the dialog open with the slider moved and the preview
// ticked.
//   node tests/web/screenshot.mjs WEB_DIR PICTURE.png
import { launchChromium, servePage } from './page_server.mjs';

const [webDir, picture] = process.argv.slice(2);
const { server, address } = await servePage(webDir);
const chromium = await launchChromium();
const { browser } = chromium;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 640 });
  const runs = () => page.$eval('body', (body) => Number(body.dataset.runs));
  const ready = (after) => page.waitForFunction(
    (count) => document.body.dataset.state === 'ready' && Number(document.body.dataset.runs) > count,
    { timeout: 120000 }, after);
  await page.goto(address);
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
  await chromium.close();
  server.close();
}
