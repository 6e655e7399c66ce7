// Mending a definition file in the tuning page, as a user would: each fix
// button on a file with that mistake, the text box, the verdict on a light
// that lights no ground, and one value changed in a file of each encoding
// and line end, saved: it differs from the opened file in that value alone.
//
//   node mending_test.mjs --page lumora-tuning.html --artifacts DIR
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {openBrowser, openPage, commandOptions, checks, downloadedInto} from './browser.mjs';

const options = commandOptions();
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lumora-mending-test-'));
const downloads = path.join(work, 'downloads');
fs.mkdirSync(downloads);

const {check, finish} = checks();

const problems = [];
const {browser, close} = await openBrowser();
const page = await openPage(browser, options.page, problems);
// Opening the next file over a mended one asks first; each case answers yes.
page.on('dialog', (dialog) => dialog.accept());
const cdp = await page.createCDPSession();
await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads, eventsEnabled: true});

const evaluations = () => page.$eval('body', (body) => Number(body.dataset.evaluations || 0));
async function evaluated(action) {
  const before = await evaluations();
  await action();
  await page.waitForFunction((was) => Number(document.body.dataset.evaluations || 0) > was, {timeout: 10000}, before);
}
async function open(name, bytes) {
  const file = path.join(work, name);
  fs.writeFileSync(file, bytes);
  await evaluated(async () => (await page.$('#definition-input')).uploadFile(file));
}
const saved = (name) => downloadedInto(downloads, name, () => page.click('aria/Save definition'));
const verdict = () => page.$eval('#verdict', (element) => element.textContent);
const latin1 = (text) => Buffer.from(text, 'latin1');

const main = '[Main]\r\nLights=1\r\nMainGearHeight=-2\r\nMainGearDist=-1\r\nTailGearHeight=-0.5\r\nTailGearDist=8\r\n';
const light = '[Light 1]\r\nZOffset=0.5\r\nSpotDepth=15\r\n';
const clean = 'veska would write a model with this file.';

// ---- Each fix button, on a file with its mistake: a clean verdict after.
for (const [mistake, button, mended] of [
  [main + light + 'LatOfset=3\r\n', 'Fix: rename LatOfset to LatOffset', main + light + 'LatOffset=3\r\n'],
  [main.replace('Lights=1', 'Lights = 1') + light, 'Fix: remove the blanks around the =', main + light],
  [main + light + 'MaxRange=25,5\r\n', 'Fix: use a decimal point instead of the comma', main + light + 'MaxRange=25.5\r\n'],
  [main + '[Light1]\r\nZOffset=0.5\r\nSpotDepth=15\r\n', 'Fix: write the header as [Light 1]', main + light],
  [main + light + 'SpotWidth=20 m ; H\xF6he\r\n', 'Fix: move the comment onto its own line',
   main + light + '; H\xF6he\r\nSpotWidth=20 m\r\n'],
  [main + light + 'SpotWidth=30\r\nSpotWidth=20\r\n', 'Fix: remove line 10, the earlier SpotWidth',
   main + light + 'SpotWidth=20\r\n'],
  [main + light + 'SpotWidth=60 feet\r\n', 'Fix: write the unit feet as ft', main + light + 'SpotWidth=60 ft\r\n'],
]) {
  await open('mistake.cfg', latin1(mistake));
  const found = await page.$(`aria/Messages >>> aria/${button}[role="button"]`) ||
                await page.$(`aria/${button}[role="button"]`);
  check(found !== null, `a button "${button}"`);
  if (!found) continue;
  await evaluated(() => found.click());
  check(await verdict() === clean, `${button}: a clean verdict`, await verdict());
  const bytes = Buffer.from(await page.evaluate(() => [...window.lumoraPage.bytes]));
  check(bytes.equals(latin1(mended)), `${button}: that line alone changed`, bytes.toString('latin1'));
}

// ---- The text box: typing in it changes the definition, the form follows.
{
  await open('typed.cfg', latin1('; H\xF6he\r\n' + main + light));
  check(!(await page.evaluate(() => window.lumoraPage.svg)).includes('before'), 'a file as opened: today\'s picture');
  const box = await page.$('aria/Definition text');
  check(box !== null, 'a text box named "Definition text"');
  await page.evaluate(() => {
    const area = document.querySelector('#definition-text');
    area.focus();
    area.setSelectionRange(area.value.length, area.value.length);
  });
  await evaluated(() => page.keyboard.type('SpotWidth=25'));
  await evaluated(() => page.keyboard.press('Enter'));
  const bytes = Buffer.from(await page.evaluate(() => [...window.lumoraPage.bytes]));
  check(bytes.equals(latin1('; H\xF6he\r\n' + main + light + 'SpotWidth=25\r\n')),
        'text typed in the text box: the file gains that line, in its own line ends and code page',
        bytes.toString('latin1'));
  const width = await page.evaluate(() => {
    const row = [...document.querySelectorAll('#section-1 .field')].find((r) => (r.querySelector('code') || r.querySelector('label')).textContent === 'SpotWidth');
    return row.querySelector('input[type="text"]').value;
  });
  check(width === '25', 'the form follows the text box', width);
  const svg = await page.evaluate(() => window.lumoraPage.svg);
  check(svg.includes('id="before-light-1-top"') && svg.includes('class="legend-before"'),
        'once changed, the picture draws the file as opened faintly under it');
}

// ---- A number cleared and retyped keeps its unit.
{
  await open('unit.cfg', latin1(main + '[Light 1]\r\nZOffset=50 cm\r\nSpotDepth=15\r\n'));
  const field = await page.evaluate(() => {
    const row = [...document.querySelectorAll('#section-1 .field')].find((r) => (r.querySelector('code') || r.querySelector('label')).textContent === 'ZOffset');
    return '#' + row.querySelector('input[type="text"]').id;
  });
  // Typed with the page at its top, so that the text box is far out of view.
  await page.evaluate((field) => {
    window.scrollTo(0, 0);
    document.querySelector(field).focus({preventScroll: true});
    document.querySelector(field).select();
  }, field);
  await evaluated(() => page.keyboard.press('Backspace'));
  await page.keyboard.type('-250');
  const bytes = Buffer.from(await page.evaluate(() => [...window.lumoraPage.bytes]));
  check(bytes.toString('latin1').includes('\r\nZOffset=-250 cm\r\n'), 'a cleared number retyped keeps its unit',
        bytes.toString('latin1'));
  // The text box, far out of view while the field was typed in, shows the
  // change once it has focus (typing there must not bring old text back).
  const [far, text] = await page.evaluate(() => {
    const area = document.querySelector('#definition-text');
    const far = area.getBoundingClientRect().top > 1.5 * window.innerHeight || area.getBoundingClientRect().bottom < -0.5 * window.innerHeight;
    area.focus({preventScroll: true});
    return [far, area.value];
  });
  check(far && text.includes('ZOffset=-250 cm'), 'the text box out of view follows the definition once in focus',
        `${far} ${text}`);
}

// ---- The verdict on a light that lights no ground.
await open('dark.cfg', latin1(main + '[Light 1]\r\nPitch=-30\r\n'));
check(await verdict() === 'veska would write a model with this file, but Light 1 lights no ground.',
      'the verdict names the light that lights no ground', await verdict());

// ---- One value changed in a field, in each encoding and line end: the
// saved file differs from the opened one in that value alone.
function encoded(text, encoding) {
  if (encoding === 'ansi') return latin1(text);
  if (encoding === 'utf8') return Buffer.from(text, 'utf8');
  if (encoding === 'utf8 bom') return Buffer.concat([Buffer.from([0xEF, 0xBB, 0xBF]), Buffer.from(text, 'utf8')]);
  const le = Buffer.from(text, 'utf16le');
  if (encoding === 'utf16le') return Buffer.concat([Buffer.from([0xFF, 0xFE]), le]);
  return Buffer.concat([Buffer.from([0xFE, 0xFF]), Buffer.from(le).swap16()]);
}
for (const encoding of ['ansi', 'utf8', 'utf8 bom', 'utf16le', 'utf16be']) {
  for (const end of ['\r\n', '\n']) {
    const text = ('; H\xF6he der Lampe\r\n' + main + light + 'LatOffset=3\r\n').replace(/\r\n/g, end);
    const name = `bytes-${encoding.replace(' ', '-')}-${end.length}.cfg`;
    await open(name, encoded(text, encoding));
    const field = await page.evaluate(() => {
      const row = [...document.querySelectorAll('#section-1 .field')].find((r) => (r.querySelector('code') || r.querySelector('label')).textContent === 'LatOffset');
      return '#' + row.querySelector('input[type="text"]').id;
    });
    await page.click(field, {clickCount: 3});
    await evaluated(() => page.keyboard.type('4'));
    const file = await saved(name);
    const expected = encoded(text.replace('LatOffset=3', 'LatOffset=4'), encoding);
    check(file !== null && file.equals(expected), `${encoding}, ${end === '\n' ? 'LF' : 'CRLF'}: that value alone changed`,
          file && file.toString('hex'));
  }
}

check(problems.length === 0, 'no request but the page itself, no console error', problems.join('\n'));
await close();
fs.rmSync(work, {recursive: true, force: true});
finish();
