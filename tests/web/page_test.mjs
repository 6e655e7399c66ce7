// The tuning page in headless Chromium, compared with the native programs:
// its pictures and messages for the examples and 50 seeded random
// definition files, a model given lights and taken out again, a file edited
// and saved, files dropped on the page (UTF-16 among them), its accessible
// names, no request but itself and no console error. A screenshot at
// 1280x800 and one of a narrow window go to the artifacts folder.
//
//   node page_test.mjs --page lumora-tuning.html --native BUILD --examples DIR --artifacts DIR
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {openBrowser, openPage, random, commandOptions, checks, downloadedInto} from './browser.mjs';

const options = commandOptions();
const veska = path.join(options.native, 'veska');
const inspect = path.join(options.native, 'veska-inspect');
const sample = path.join(options.native, 'examples', 'sample.mdl');
for (const needed of [options.page, veska, inspect, sample]) {
  if (!fs.existsSync(needed)) {
    console.log(`missing ${needed}: build the page (web preset) and the release build first`);
    console.log('0 passed, 1 failed');
    process.exit(1);
  }
}
fs.mkdirSync(options.artifacts, {recursive: true});
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lumora-page-test-'));
const downloads = path.join(work, 'downloads');
fs.mkdirSync(downloads);

const {check, finish} = checks();

// ---- The native programs, run in a folder of their own on files named as
// the page names them.
function run(program, args, cwd) {
  const result = spawnSync(program, args, {cwd, encoding: 'latin1'});
  return Buffer.from(result.stdout, 'latin1');
}
const banner = (() => {
  const output = run(veska, [], work).toString('latin1');
  return output.slice(0, output.indexOf('Usage is:'));
})();

// veska's messages about a definition file: what it prints after its
// banner, less the last line about the model.
function veskaMessages(folder, name) {
  let text = run(veska, [sample, 'out.mdl', name], folder).toString('utf8');
  text = text.startsWith(banner) ? text.slice(banner.length) : text;
  const last = text.lastIndexOf('\n', text.length - 2) + 1;
  return text.startsWith('MDL file ', last) ? text.slice(0, last) : text;
}

function caseFolder(label) {
  const folder = path.join(work, label);
  fs.mkdirSync(folder, {recursive: true});
  return folder;
}

// ---- Seeded random definition files: valid and damaged ones alike.

function randomDefinition(seed) {
  const r = random(seed);
  const pick = (items) => items[Math.floor(r() * items.length)];
  const number = (low, high) => (low + r() * (high - low)).toFixed(pick([0, 1, 2, 3]));
  const length = (low, high) => number(low, high) + pick(['', '', '', ' m', 'ft', ' cm', ' in', ' mm', ' ft ']);
  const end = pick(['\n', '\r\n']);
  const lines = [];
  if (r() < 0.2) lines.push('; random definition ' + seed);
  lines.push(pick(['[Main]', '[Main]', '[Main]', '[MAIN]', '[Main] ']));
  const lights = pick([1, 1, 2, 2, 3, 3, 0, 4, 'two', '2.9']);
  if (r() < 0.95) lines.push(pick(['Lights=', 'lights=', 'Lights =']) + lights);
  const other = pick(['Tail', 'Nose']);
  for (const [key, low, high] of [['MainGearHeight', -4, 0], ['MainGearDist', -3, 3],
                                  [other + 'GearHeight', -3, 0], [other + 'GearDist', -9, 9]]) {
    if (r() < 0.8) lines.push(key + '=' + length(low, high));
  }
  if (r() < 0.1) lines.push(' Lights=1');
  const sections = Number.isInteger(lights) ? Math.min(Math.max(lights, 1), 3) : 2;
  for (let n = 1; n <= sections; ++n) {
    if (r() < 0.08) continue;
    lines.push('', r() < 0.05 ? `[Light${n}]` : `[Light ${n}]`);
    for (const [key, low, high, plain] of [['LatOffset', -8, 8], ['ZOffset', -2, 2], ['LonOffset', -3, 8],
                                           ['Direction', -30, 30, true], ['Pitch', -5, 15, true],
                                           ['MaxRange', -5, 80], ['SpotWidth', 1, 40], ['SpotDepth', 1, 80]]) {
      if (r() < 0.6) lines.push(key + '=' + (plain ? number(low, high) + pick(['', '', '', ' deg']) : length(low, high)));
    }
    if (r() < 0.05) lines.push('LatOfset=1');
    if (r() < 0.05) lines.push('Pitch=');
  }
  return lines.join(end) + (r() < 0.9 ? end : '');
}

// ---- Driving the page.
const problems = [];
const {browser, close} = await openBrowser();
const page = await openPage(browser, options.page, problems);
const cdp = await page.createCDPSession();
await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads, eventsEnabled: true});

const evaluations = () => page.$eval('body', (body) => Number(body.dataset.evaluations || 0));
const modelRuns = () => page.$eval('body', (body) => Number(body.dataset.modelRuns || 0));
async function after(counter, action) {
  const before = await counter();
  await action();
  await page.waitForFunction((was, name) => Number(document.body.dataset[name] || 0) > was, {timeout: 10000}, before,
                             counter === evaluations ? 'evaluations' : 'modelRuns');
}

async function upload(selector, file) {
  const input = await page.$(selector);
  await input.uploadFile(file);
}

const downloaded = (name, action) => downloadedInto(downloads, name, action);

const pageSvg = () => page.evaluate(() => window.lumoraPage.svg);
const pageMessages = () => page.evaluate(() => window.lumoraPage.messages.filter((m) => m.severity !== 'note')
                                                                    .map((m) => m.text).join(''));

// The page's picture and messages for a definition file, against the
// programs'.
async function compareWithPrograms(label, name, bytes, how) {
  const folder = caseFolder(label);
  const file = path.join(folder, name);
  fs.writeFileSync(file, bytes);
  await after(evaluations, () => how(file, name, bytes));
  run(inspect, ['--preview', name, 'preview.svg'], folder);
  const expectedSvg = fs.existsSync(path.join(folder, 'preview.svg')) ? fs.readFileSync(path.join(folder, 'preview.svg'))
                                                                       : Buffer.alloc(0);
  const svg = Buffer.from(await pageSvg(), 'utf8');
  check(svg.equals(expectedSvg), `${label}: the page's picture is veska-inspect --preview's`,
        `page ${svg.length} bytes, program ${expectedSvg.length} bytes`);
  const expected = veskaMessages(folder, name);
  const messages = await pageMessages();
  check(messages === expected, `${label}: the page's messages are veska's`,
        `page:\n${messages}\nveska:\n${expected}`);
  return folder;
}

const byFileInput = (file) => upload('#definition-input', file);
const examples = fs.readdirSync(options.examples).filter((name) => name.endsWith('.cfg')).sort();
for (const name of examples) {
  const folder = await compareWithPrograms('example-' + name, name, fs.readFileSync(path.join(options.examples, name)),
                                           byFileInput);
  // Save picture: byte for byte the program's file.
  const saved = await downloaded(name.replace(/\.cfg$/, '.svg'), () => page.click('#save-picture'));
  check(saved !== null && saved.equals(fs.readFileSync(path.join(folder, 'preview.svg'))),
        `${name}: Save picture gives veska-inspect --preview's file`);
}
for (let seed = 1; seed <= 50; ++seed) {
  await compareWithPrograms('random-' + seed, `random-${seed}.cfg`, Buffer.from(randomDefinition(seed), 'latin1'),
                            byFileInput);
}

// ---- A file with comments: two values changed and one cleared, saved.
{
  const original = '; Lights of a test aircraft\r\n[Main]\r\nLights=1\r\n; gear\r\nMainGearHeight=-2\r\n' +
                   'MainGearDist=-1\r\nTailGearHeight=-0.5\r\nTailGearDist=8\r\n\r\n[Light 1]\r\n; left wing\r\n' +
                   'LatOffset=-3\r\nZOffset=0.5\r\nMaxRange=30\r\nSpotDepth=20\r\n; end\r\n';
  const folder = caseFolder('edit');
  fs.writeFileSync(path.join(folder, 'commented.cfg'), original);
  await after(evaluations, () => byFileInput(path.join(folder, 'commented.cfg')));
  const fieldOf = (section, key) => page.evaluate((section, key) => {
    const row = [...document.querySelectorAll(`#section-${section} .field`)]
                    .find((candidate) => candidate.querySelector('code')?.textContent === key);
    return '#' + row.querySelector('input[type="text"]').id;
  }, section, key);
  const retype = async (selector, text) => {
    await page.click(selector, {clickCount: 3});
    await page.keyboard.press('Backspace');
    if (text) await page.keyboard.type(text);
  };
  await retype(await fieldOf(1, 'LatOffset'), '-2.75');
  await retype(await fieldOf(1, 'MaxRange'), '45');
  await retype(await fieldOf(1, 'SpotDepth'), '');
  const saved = await downloaded('commented.cfg', () => page.click('#save-definition'));
  const expected = original.replace('LatOffset=-3\r\n', 'LatOffset=-2.75\r\n').replace('MaxRange=30\r\n', 'MaxRange=45\r\n')
                           .replace('SpotDepth=20\r\n', '');
  check(saved !== null && saved.toString('latin1') === expected,
        'editing: only the two changed lines and the cleared one differ', saved && saved.toString('latin1'));
}

// ---- A model given lights, refused once lit, and its lights taken out.
{
  const folder = caseFolder('model');
  const definition = path.join(options.examples, 'two_lights.cfg');
  await after(evaluations, () => byFileInput(definition));
  fs.copyFileSync(sample, path.join(folder, 'cub.mdl'));
  await after(modelRuns, () => upload('#model-input', path.join(folder, 'cub.mdl')));
  const lit = await downloaded('cub.mdl', () => page.click('#download-model'));
  fs.copyFileSync(definition, path.join(folder, 'two_lights.cfg'));
  run(veska, ['cub.mdl', 'lit.mdl', 'two_lights.cfg'], folder);
  const expectedLit = fs.readFileSync(path.join(folder, 'lit.mdl'));
  check(lit !== null && lit.equals(expectedLit), 'a model processed in the page is veska SOURCE TARGET DEFINITION\'s',
        lit === null ? 'no download came; the page says: ' + await page.$eval('#model-state', (state) => state.textContent)
                     : `${lit.length} bytes downloaded, ${expectedLit.length} expected`);

  await after(modelRuns, () => upload('#model-input', path.join(folder, 'lit.mdl')));
  const refused = await page.evaluate(() => ({
    alreadyLit: window.lumoraPage.modelRun.alreadyLit,
    download: document.querySelector('#download-model').disabled,
    offer: !document.querySelector('#take-lights-out').hidden,
    output: window.lumoraPage.modelRun.output,
  }));
  check(refused.alreadyLit && refused.download && refused.offer &&
        refused.output.includes('lit.mdl is not an unmodified MDL file.'),
        'an already-lit model is refused, with Take lights out offered', JSON.stringify(refused));
  const offered = await page.accessibility.snapshot({root: await page.$('#take-lights-out')});
  check(offered && offered.role === 'button' && offered.name === 'Take lights out', 'the control named "Take lights out"');
  const stripped = await downloaded('lit.mdl', async () => {
    await after(modelRuns, () => page.click('#take-lights-out'));
    await page.click('#download-model');
  });
  run(inspect, ['--strip', 'lit.mdl', 'stripped.mdl'], folder);
  check(stripped !== null && stripped.equals(fs.readFileSync(path.join(folder, 'stripped.mdl'))),
        'taking the lights out in the page is veska-inspect --strip\'s');
}

// ---- Files dropped on the page: a UTF-16 definition file as Notepad
// saves it, then a model.
async function drop(name, bytes) {
  await page.evaluate((name, bytes) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(bytes)], name));
    for (const type of ['dragenter', 'dragover', 'drop']) {
      document.body.dispatchEvent(new DragEvent(type, {dataTransfer: transfer, bubbles: true, cancelable: true}));
    }
  }, name, [...bytes]);
}
{
  const text = fs.readFileSync(path.join(options.examples, 'one_light.cfg'), 'utf8').replace(/\n/g, '\r\n')
                 .replace('; Landing', '; Zwölf Grad — landing');
  const utf16 = Buffer.concat([Buffer.from([0xFF, 0xFE]), Buffer.from(text, 'utf16le')]);
  await compareWithPrograms('dropped-utf16', 'notepad.cfg', utf16, (file, name, bytes) => drop(name, bytes));
  const kept = Buffer.from(await page.evaluate(() => [...window.lumoraPage.bytes]));
  check(kept.equals(utf16), 'a dropped UTF-16 file is kept as it is');
  // The text is brought in line when it comes into view.
  await page.$eval('#text-lines', (list) => list.scrollIntoView());
  const shown = await page.waitForFunction(() => document.getElementById('text-lines').textContent.includes('Zwölf Grad — landing'),
                                           {timeout: 2000}).then(() => true, () => false);
  check(shown, 'the UTF-16 text is shown decoded');
  await compareWithPrograms('dropped-utf8-mark', 'marked.cfg',
                            Buffer.concat([Buffer.from([0xEF, 0xBB, 0xBF]), Buffer.from(text, 'utf8')]),
                            (file, name, bytes) => drop(name, bytes));
  await after(modelRuns, () => drop('dropped.mdl', fs.readFileSync(sample)));
  const state = await page.$eval('#model-state', (element) => element.textContent);
  check(state.startsWith('dropped.mdl'), 'a dropped model is taken as the model', state);
}

// ---- Names of the controls, as screen readers and scripts find them.
{
  const named = new Set();
  const walk = (node) => {
    named.add(`${node.role}:${node.name}`);
    for (const child of node.children || []) walk(child);
  };
  walk(await page.accessibility.snapshot({interestingOnly: true}));
  for (const wanted of ['button:Definition file', 'button:Model file', 'button:Save definition', 'button:Save picture',
                        'button:Download model', 'region:Messages']) {
    check(named.has(wanted), `a control named as ${wanted}`);
  }
}

// ---- Screenshots: the example at 1280x800, and a narrow window.
await after(evaluations, () => byFileInput(path.join(options.examples, 'one_light.cfg')));
await page.evaluate(() => {
  window.scrollTo(0, 0);
  document.querySelector('.picture').scrollTo(0, 0);
});
await page.screenshot({path: path.join(options.artifacts, 'tuning-page.png')});
await page.setViewport({width: 420, height: 900});
await page.screenshot({path: path.join(options.artifacts, 'tuning-page-narrow.png')});
const narrowOverflow = await page.evaluate(() => document.documentElement.scrollWidth > window.innerWidth + 1);
check(!narrowOverflow, 'a narrow window needs no sideways scrolling');

check(problems.length === 0, 'no request but the page itself, no console error', problems.join('\n'));
await close();
fs.rmSync(work, {recursive: true, force: true});
finish();
