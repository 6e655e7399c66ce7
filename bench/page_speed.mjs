// The tuning page's speed in headless Chromium (a measurement, not a test):
// the HTML file's size; how long after opening it from file:// the page is
// ready (10 fresh loads); and, over 200 changes of a slider, the time from
// the input event to the new picture in the page, and to the next frame.
//
//   node bench/page_speed.mjs [build-web/lumora-tuning.html]
//
// Needs the test's packages: (cd tests/web && npm ci).
import fs from 'node:fs';
import {openBrowser, openPage} from '../tests/web/browser.mjs';

const pagePath = process.argv[2] || 'build-web/lumora-tuning.html';
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};
const fixed = (value) => value.toFixed(2);

const problems = [];
const {browser, close} = await openBrowser();

const ready = [];
for (let load = 0; load < 10; ++load) {
  const page = await openPage(browser, pagePath, problems);
  ready.push(Number(await page.$eval('body', (body) => body.dataset.ready)));
  await page.close();
}

const page = await openPage(browser, pagePath, problems);
await page.select('#example', 'one_light.cfg');
await page.click('#open-example');
const timings = await page.evaluate(async () => {
  const row = [...document.querySelectorAll('#section-1 .field')]
                  .find((candidate) => candidate.querySelector('code')?.textContent === 'LatOffset');
  const slider = row.querySelector('input[type="range"]');
  const picture = document.getElementById('picture');
  const toSvg = [];
  const toFrame = [];
  let unchanged = 0;
  for (let change = 0; change < 200; ++change) {
    const before = picture.innerHTML;
    slider.value = String(-10 + (change % 40) * 0.5);
    const start = performance.now();
    slider.dispatchEvent(new Event('input', {bubbles: true}));
    toSvg.push(performance.now() - start);
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    toFrame.push(performance.now() - start);
    if (picture.innerHTML === before) unchanged++;
  }
  return {toSvg, toFrame, unchanged};
});
await close();

const size = fs.statSync(pagePath).size;
console.log(`HTML file: ${size} bytes (${(size / 1024).toFixed(0)} KiB)`);
console.log(`page ready after opening: first load ${fixed(ready[0])} ms, median of 10 ${fixed(median(ready))} ms, ` +
            `slowest ${fixed(Math.max(...ready))} ms`);
console.log(`input event to new SVG in the page, 200 changes: median ${fixed(median(timings.toSvg))} ms, ` +
            `slowest ${fixed(Math.max(...timings.toSvg))} ms`);
console.log(`input event to the next frame: median ${fixed(median(timings.toFrame))} ms`);
if (timings.unchanged > 0) console.log(`${timings.unchanged} changes left the picture as it was`);
if (problems.length > 0) console.log('problems:\n' + problems.join('\n'));
