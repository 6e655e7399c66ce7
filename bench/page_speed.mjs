// The tuning page's speed in headless Chromium (a measurement, not a test):
// - the HTML file's size;
// - how long after opening it from file:// the page is ready, over 10 cold
//   loads, each in a fresh browser context;
// - from an input event to the next paint with the new picture, over 200
//   changes of a slider on examples/three_lights.cfg made with the keyboard
//   (real input events, each after a random wait of up to a frame, so that
//   they come at any point of the display's frame as a user's do): the time
//   from the event's time stamp to a task run after the frame that follows
//   the new picture; once with frames at the display's rate, beside a page
//   that only writes the slider's value (the wait for the display's next
//   frame that any page has), beside that page computing in each step for
//   as long as the page's step takes more than it at the median (what any
//   page with that much to do gets from this machine), once with each frame
//   drawn as soon as it is ready (the page's own share);
// - the processor time the browser's processes took over those changes,
//   for the page and for the page that only writes the slider's value: what
//   any page's steps cost the machine's cores besides the page's own work;
// - the JavaScript heap, after collecting garbage, before and after 1,000
//   more changes of a slider dragged (one step to undo), after 1,200 changes
//   that let the browser settle.
//
//   node bench/page_speed.mjs [build-web/lumora-tuning.html]
//
// Needs the test's packages: (cd tests/web && npm ci).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {openBrowser, openPage, random} from '../tests/web/browser.mjs';

const pagePath = process.argv[2] || 'build-web/lumora-tuning.html';
const sorted = (values) => [...values].sort((a, b) => a - b);
const median = (values) => sorted(values)[Math.floor(values.length / 2)];
const percentile = (values, share) => sorted(values)[Math.min(values.length - 1, Math.ceil(values.length * share) - 1)];
const fixed = (value) => value.toFixed(2);

// The processor time, in milliseconds, that the browser and every process
// under it (renderers, the compositing process, helpers) have taken so far.
const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK'], {encoding: 'utf8'}));
function processorTime(browser) {
  const parents = new Map();
  const times = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^[0-9]+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parents.set(pid, fields[1]);
      times.set(pid, Number(fields[11]) + Number(fields[12]));
    } catch {
      // the process ended meanwhile
    }
  }
  const root = String(browser.process().pid);
  const under = (pid) => pid === root || (parents.has(pid) && pid !== '1' && under(parents.get(pid)));
  let ticks = 0;
  for (const [pid, time] of times) if (under(pid)) ticks += time;
  return ticks * 1000 / ticksPerSecond;
}

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

// The times of 200 changes of a slider made with the keyboard, each key
// pressed after a random wait of up to a frame: on the page opened on
// examples/three_lights.cfg, or on a page that only writes the slider's value.
const floorPage = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'lumora-bench-')), 'floor.html');
// That page can also compute before it writes: window.work rounds of a
// fixed sum, a step of plain script as long as the page's own.
fs.writeFileSync(floorPage, '<!DOCTYPE html><body data-ready="0"><input type="range" id="slider" min="0" max="40">' +
                            '<output id="value"></output><script>const slider = document.getElementById("slider");' +
                            'window.work = 0; function compute(rounds) { let x = 1; for (let k = 0; k < rounds; ++k) ' +
                            'x = (x * 1103515245 + 12345) | 0; return x; }' +
                            'slider.addEventListener("input", () => { window.sum = compute(window.work); ' +
                            'document.getElementById("value").textContent = slider.value; });' +
                            '</script></body>');
async function measureChanges(browser, floor = false, computing = 0) {
  const page = await openPage(browser, floor ? floorPage : pagePath, problems);
  if (computing > 0) {
    // The rounds that take that long here, from the fastest of 20 runs.
    await page.evaluate((milliseconds) => {
      let fastest = Infinity;
      for (let run = 0; run < 20; ++run) {
        const start = performance.now();
        window.sum = compute(100000);
        fastest = Math.min(fastest, performance.now() - start);
      }
      window.work = Math.round(100000 * milliseconds / fastest);
    }, computing);
  }
  if (!floor) {
    await page.select('#example', 'three_lights.cfg');
    await page.click('#open-example');
    await page.waitForFunction(() => document.querySelector('#picture svg'));
  }
  // The page notes, for each input event on the slider, the time from its time
  // stamp to a task after the next frame drawn once the picture changed.
  await page.evaluate((floor) => {
    const slider = floor ? document.getElementById('slider') :
                           [...document.querySelectorAll('#section-1 .field')]
                               .find((candidate) => candidate.querySelector('code')?.textContent === 'LatOffset')
                               .querySelector('input[type="range"]');
    const picture = () => floor ? slider.value : window.lumoraPage.svg;
    window.benchSlider = slider;
    window.benchTimes = [];
    window.benchUnchanged = 0;
    let before = null;
    // Before the page's own handler (capturing), the picture as it was; after
    // it (on the slider, added last), the new one is in. The page redraws only
    // the parts of the picture that changed, so the picture is told by the
    // markup the page drew last.
    document.addEventListener('input', (event) => {
      if (event.target === slider) before = picture();
    }, true);
    slider.addEventListener('input', (event) => {
      const stamp = event.timeStamp;
      if (picture() === before) window.benchUnchanged++;
      queueMicrotask(() => {
        requestAnimationFrame(() => {
          const channel = new MessageChannel();
          channel.port1.onmessage = () => window.benchTimes.push(performance.now() - stamp);
          channel.port2.postMessage(0);
        });
      });
    });
    slider.focus();
  }, floor);
  const wait = random(23);
  const processorBefore = processorTime(browser);
  for (let change = 0; change < 200; ++change) {
    await new Promise((resolve) => setTimeout(resolve, wait() * 1000 / 60));
    await page.keyboard.press(Math.floor(change / 20) % 2 === 0 ? 'ArrowRight' : 'ArrowLeft');
    await page.waitForFunction((count) => window.benchTimes.length > count, {}, change);
  }
  const processor = (processorTime(browser) - processorBefore) / 200;
  const times = await page.evaluate(() => window.benchTimes);
  const unchanged = await page.evaluate(() => window.benchUnchanged);
  return {page, times, unchanged, processor};
}

const floorRun = await measureChanges(browser, true);
const floorTimes = floorRun.times;
const {page, times, unchanged, processor} = await measureChanges(browser);

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
await page.close();

// What the display's frames and the machine's cores make of a step that
// takes as long as the page's at the median, on a page with nothing else
// to lay out, draw or hand on.
const computing = Math.max(0, median(times) - median(floorTimes));
const computingTimes = (await measureChanges(browser, true, computing)).times;
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
console.log(`the same on a page that only writes the slider's value: median ${fixed(median(floorTimes))} ms, ` +
            `95th percentile ${fixed(percentile(floorTimes, 0.95))} ms`);
console.log(`the same on that page computing for ${fixed(computing)} ms in each step (the page's median less its own): ` +
            `median ${fixed(median(computingTimes))} ms, 95th percentile ${fixed(percentile(computingTimes, 0.95))} ms`);
console.log(`the same with frames not held to the display's rate: median ${fixed(median(alone))} ms, ` +
            `95th percentile ${fixed(percentile(alone, 0.95))} ms, slowest ${fixed(Math.max(...alone))} ms`);
console.log(`processor time of the browser's processes per change: ${fixed(processor)} ms, ` +
            `${fixed(floorRun.processor)} ms on the page that only writes the slider's value`);
if (unchanged > 0) console.log(`${unchanged} changes left the picture as it was`);
console.log(`JS heap after garbage collection: ${(heapBefore / 1024).toFixed(0)} KiB before and ` +
            `${(heapAfter / 1024).toFixed(0)} KiB after 1,000 changes (${heapAfter >= heapBefore ? '+' : ''}` +
            `${((heapAfter - heapBefore) / 1024).toFixed(0)} KiB)`);
if (problems.length > 0) console.log('problems:\n' + problems.join('\n'));
fs.rmSync(path.dirname(floorPage), {recursive: true, force: true});
