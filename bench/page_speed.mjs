// The tuning page's speed in headless Chromium (a measurement, not a test):
// - the HTML file's size;
// - how long after opening it from file:// the page is ready, over 10 cold
//   loads, each in a fresh browser context;
// - from an input event to the next paint with the new picture, over 200
//   changes of a slider on examples/three_lights.cfg made with the keyboard
//   (real input events): the time from the event's time stamp to a task
//   run after the frame that follows the new picture; once with frames at
//   the display's rate, once with each frame drawn as soon as it is ready;
// - the JavaScript heap, after collecting garbage, before and after 1,000
//   more changes of a slider dragged (one step to undo), after 1,200 changes
//   that let the browser settle.
//
//   node bench/page_speed.mjs [build-web/lumora-tuning.html]
//
// Needs the test's packages: (cd tests/web && npm ci).
import fs from 'node:fs';
import os from 'node:os';
import {openBrowser, openPage} from '../tests/web/browser.mjs';

const pagePath = process.argv[2] || 'build-web/lumora-tuning.html';
const sorted = (values) => [...values].sort((a, b) => a - b);
const median = (values) => sorted(values)[Math.floor(values.length / 2)];
const percentile = (values, share) => sorted(values)[Math.min(values.length - 1, Math.ceil(values.length * share) - 1)];
const fixed = (value) => value.toFixed(2);

const problems = [];
const {browser, close} = await openBrowser();
const load = os.loadavg();

const ready = [];
for (let round = 0; round < 10; ++round) {
  const context = await browser.createBrowserContext();
  const page = await openPage(context, pagePath, problems);
  ready.push(Number(await page.$eval('body', (body) => body.dataset.ready)));
  await context.close();
}

// The page opened on examples/three_lights.cfg, and the times of 200 changes
// of a slider made with the keyboard.
async function measureChanges(browser) {
  const page = await openPage(browser, pagePath, problems);
  await page.select('#example', 'three_lights.cfg');
  await page.click('#open-example');
  await page.waitForFunction(() => document.querySelector('#picture svg'));
  // The page notes, for each input event on the slider, the time from its time
  // stamp to a task after the next frame drawn once the picture changed.
  await page.evaluate(() => {
    const row = [...document.querySelectorAll('#section-1 .field')]
                    .find((candidate) => candidate.querySelector('code')?.textContent === 'LatOffset');
    const slider = row.querySelector('input[type="range"]');
    window.benchSlider = slider;
    window.benchTimes = [];
    window.benchUnchanged = 0;
    let before = null;
    // Before the page's own handler (capturing), the picture as it was; after
    // it (on the slider, added last), the new one is in. The page redraws only
    // the parts of the picture that changed, so the picture is told by the
    // markup the page drew last.
    document.addEventListener('input', (event) => {
      if (event.target === slider) before = window.lumoraPage.svg;
    }, true);
    slider.addEventListener('input', (event) => {
      const stamp = event.timeStamp;
      if (window.lumoraPage.svg === before) window.benchUnchanged++;
      queueMicrotask(() => {
        requestAnimationFrame(() => {
          const channel = new MessageChannel();
          channel.port1.onmessage = () => window.benchTimes.push(performance.now() - stamp);
          channel.port2.postMessage(0);
        });
      });
    });
    slider.focus();
  });
  for (let change = 0; change < 200; ++change) {
    await page.keyboard.press(Math.floor(change / 20) % 2 === 0 ? 'ArrowRight' : 'ArrowLeft');
    await page.waitForFunction((count) => window.benchTimes.length > count, {}, change);
  }
  const times = await page.evaluate(() => window.benchTimes);
  const unchanged = await page.evaluate(() => window.benchUnchanged);
  return {page, times, unchanged};
}

const {page, times, unchanged} = await measureChanges(browser);

// The heap over 1,000 changes of one drag.
const cdp = await page.createCDPSession();
const heap = async () => {
  await cdp.send('HeapProfiler.collectGarbage');
  return (await cdp.send('Runtime.getHeapUsage')).usedSize;
};
const drag = (count) => page.evaluate((count) => {
  const slider = window.benchSlider;
  for (let change = 0; change < count; ++change) {
    slider.value = String(-10 + (change % 40) * 0.5);
    slider.dispatchEvent(new Event('input', {bubbles: true}));
  }
}, count);
// The first thousand or so changes grow the heap once (the browser compiles
// the hot code and keeps what it learnt about it), later ones do not: the
// heap is compared over the thousand changes after those.
await drag(1200);
const heapBefore = await heap();
await drag(1000);
const heapAfter = await heap();
await close();

// The same changes with frames drawn as soon as they are ready rather than
// at the display's rate (60 per second): the page's own share of the time,
// without the wait for the display's next frame that any page has.
const unpaced = await openBrowser(['--disable-frame-rate-limit', '--disable-gpu-vsync']);
const alone = (await measureChanges(unpaced.browser)).times;
await unpaced.close();

const size = fs.statSync(pagePath).size;
console.log(`machine load (1, 5, 15 min): ${load.map((value) => value.toFixed(2)).join(', ')} on ${os.cpus().length} cores`);
console.log(`HTML file: ${size} bytes (${(size / 1024).toFixed(0)} KiB)`);
console.log(`page ready after opening, 10 cold loads: median ${fixed(median(ready))} ms, ` +
            `fastest ${fixed(Math.min(...ready))} ms, slowest ${fixed(Math.max(...ready))} ms`);
console.log(`input event to the next paint with the new picture, ${times.length} changes: ` +
            `median ${fixed(median(times))} ms, 95th percentile ${fixed(percentile(times, 0.95))} ms, ` +
            `slowest ${fixed(Math.max(...times))} ms`);
console.log(`the same with frames not held to the display's rate: median ${fixed(median(alone))} ms, ` +
            `95th percentile ${fixed(percentile(alone, 0.95))} ms, slowest ${fixed(Math.max(...alone))} ms`);
if (unchanged > 0) console.log(`${unchanged} changes left the picture as it was`);
console.log(`JS heap after garbage collection: ${(heapBefore / 1024).toFixed(0)} KiB before and ` +
            `${(heapAfter / 1024).toFixed(0)} KiB after 1,000 changes (${heapAfter >= heapBefore ? '+' : ''}` +
            `${((heapAfter - heapBefore) / 1024).toFixed(0)} KiB)`);
if (problems.length > 0) console.log('problems:\n' + problems.join('\n'));
