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
import {openBrowser, openPage, random, commandOptions, checks} from './browser.mjs';

const options = commandOptions();
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lumora-bench-test-'));

const {check, finish} = checks();

const problems = [];
const {browser, close} = await openBrowser();

// ---- Finding controls as a user does: by their names.
const aria = (name, role) => `::-p-aria([name=${JSON.stringify(name)}][role="${role}"])`;
async function control(page, name, role) {
  const found = await page.$(aria(name, role));
  if (!found) throw new Error(`no ${role} named "${name}"`);
  return found;
}
// A file button: the file input of that name (the query by name finds the
// section of the same name first), its name checked as a screen reader has it.
async function fileInput(page, name) {
  const found = await page.$(`input[type="file"][aria-label=${JSON.stringify(name)}]`);
  const named = found && await page.accessibility.snapshot({root: found});
  if (!named || named.role !== 'button' || named.name !== name) throw new Error(`no file button named "${name}"`);
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

// ---- Undo and redo over the whole definition.
const FIELDS = [['[Light 1]', 'Sideways (x) LatOffset', true], ['[Light 2]', 'Up (y) ZOffset', true],
                ['[Light 3]', 'Pitch', false], ['[Light 1]', 'Direction', false],
                ['[Main]: number of lights and gear', 'Main gear height MainGearHeight', true]];
async function retype(page, input, text) {
  await input.click({clickCount: 3});
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
  await page.keyboard.press('Tab');
}
// The page redraws only what changed in the picture: it must be the
// picture parsed afresh.
async function pictureIsFresh(page) {
  return page.evaluate(() => {
    const fresh = document.createElement('template');
    fresh.innerHTML = window.lumoraPage.svg;
    return document.querySelector('#picture svg').isEqualNode(fresh.content.querySelector('svg'));
  });
}
async function pressUntilDisabled(page, name, limit) {
  let presses = 0;
  for (; presses < limit; ++presses) {
    const button = await control(page, name, 'button');
    if (await button.evaluate((element) => element.disabled)) break;
    await button.click();
  }
  return presses;
}
{
  const page = await openPage(browser, options.page, problems);
  await openExample(page, 'three_lights.cfg');
  const opened = await bytesOf(page);
  const r = random(23);
  const states = [opened];
  const kinds = [];
  const stale = [];
  for (let edit = 0; edit < 30; ++edit) {
    const [section, name, takesUnit] = FIELDS[Math.floor(r() * FIELDS.length)];
    const kind = ['type', 'type', 'slider', 'unit', 'gear', 'lights', 'reset'][Math.floor(r() * 7)];
    if (kind === 'type') {
      await retype(page, await field(page, section, name), (r() * 10 - 5).toFixed(2));
    } else if (kind === 'slider') {
      const slider = await field(page, section, name.replace(/ [A-Z]\w+$/, '') + ' slider', 'slider');
      await slider.focus();
      await page.keyboard.press(r() < 0.5 ? 'ArrowRight' : 'ArrowLeft');
      await page.keyboard.press('Tab');
    } else if (kind === 'unit' && takesUnit) {
      const unit = await field(page, section, name.replace(/ [A-Z]\w+$/, '') + ' unit', 'combobox');
      const options = await unit.evaluate((select) => [...select.options].map((option) => option.value));
      await unit.select(options[Math.floor(r() * options.length)]);
    } else if (kind === 'gear') {
      await (await control(page, r() < 0.5 ? 'tail gear (TailGear…)' : 'nose gear (NoseGear…)', 'radio')).click();
    } else if (kind === 'lights') {
      await retype(page, await field(page, '[Main]: number of lights and gear', 'Lights'), String(1 + Math.floor(r() * 3)));
    } else {
      const reset = await page.$$('::-p-aria([name^="Reset"][role="button"])');
      const enabled = [];
      for (const button of reset) if (!(await button.evaluate((element) => element.disabled))) enabled.push(button);
      if (enabled.length) await enabled[Math.floor(r() * enabled.length)].click();
    }
    if (!(await pictureIsFresh(page))) stale.push(`${edit} (${kind})`);
    const now = await bytesOf(page);
    if (now.join() !== states[states.length - 1].join()) {
      states.push(now);
      kinds.push(kind);
    }
  }
  const steps = states.length - 1;
  check(steps >= 15, 'most of 30 random edits change the definition', `${steps} did (${kinds.join(' ')})`);
  // Undo two steps by the button, one by the keyboard outside a text field.
  await (await control(page, 'Undo', 'button')).click();
  await (await control(page, 'Undo', 'button')).click();
  check((await bytesOf(page)).join() === states[steps - 2].join(), 'Undo twice goes back two edits');
  await page.evaluate(() => document.activeElement.blur());
  await page.keyboard.down('Control');
  await page.keyboard.press('z');
  await page.keyboard.up('Control');
  check((await bytesOf(page)).join() === states[steps - 3].join(), 'Ctrl+Z outside a text field undoes');
  await page.keyboard.down('Control');
  await page.keyboard.press('y');
  await page.keyboard.up('Control');
  check((await bytesOf(page)).join() === states[steps - 2].join(), 'Ctrl+Y redoes');
  const undone = await pressUntilDisabled(page, 'Undo', 100);
  check(undone === steps - 2 && Buffer.from(await bytesOf(page)).equals(Buffer.from(opened)),
        'undoing every edit gives back the opened bytes', `${undone} undone of ${steps - 2}`);
  const shown = await (await field(page, '[Light 1]', 'Sideways (x) LatOffset')).evaluate((input) => input.value);
  check(shown === '-4', 'the form follows an undo', shown);
  await page.keyboard.down('Control');
  await page.keyboard.down('Shift');
  await page.keyboard.press('z');
  await page.keyboard.up('Shift');
  await page.keyboard.up('Control');
  check((await bytesOf(page)).join() === states[1].join(), 'Ctrl+Shift+Z redoes');
  const redone = await pressUntilDisabled(page, 'Redo', 100);
  check(redone === steps - 1 && (await bytesOf(page)).join() === states[steps].join(),
        'redoing every edit gives the last bytes again', `${redone} redone of ${steps - 1}`);

  // A slider moved along its range and back: the picture gains and loses
  // the file's lights as opened, other ticks, wrapped words.
  await (await field(page, '[Light 2]', 'Sideways (x) slider', 'slider')).focus();
  for (let step = 0; step < 60; ++step) {
    await page.keyboard.press(step < 30 ? 'ArrowRight' : 'ArrowLeft');
    if (!(await pictureIsFresh(page))) stale.push(`sideways step ${step}`);
  }
  check(stale.length === 0, 'the picture after each edit is the picture drawn afresh', `not after edits ${stale.join(', ')}`);

  // The table under the picture, changed while out of view, shows when
  // brought into view what a page opened on the same file shows.
  const figures = async (page) => {
    await page.$eval('#figures', (table) => table.scrollIntoView({block: 'nearest'}));
    await page.waitForFunction(() => new Promise((frame) => requestAnimationFrame(() => requestAnimationFrame(frame))).then(() => true));
    return page.$eval('#figures tbody', (body) => body.innerText);
  };
  await page.$eval('#picture', (picture) => picture.scrollIntoView({block: 'start'}));
  const asOpened = await figures(page);
  await page.$eval('#picture', (picture) => picture.scrollIntoView({block: 'start'}));
  await (await field(page, '[Light 1]', 'Up (y) slider', 'slider')).focus();
  for (let step = 0; step < 8; ++step) await page.keyboard.press('ArrowRight');
  const tuned = await figures(page);
  const file = path.join(work, 'three_lights.cfg');
  fs.writeFileSync(file, Buffer.from(await bytesOf(page)));
  const fresh = await openPage(browser, options.page, problems);
  await afterEvaluation(fresh, async () => (await fileInput(fresh, 'Definition file')).uploadFile(file));
  const expected = await figures(fresh);
  check(tuned === expected && expected !== asOpened && /Light 1/.test(expected),
        'the table of figures follows edits made while it is out of view', `${tuned} | ${expected}`);
  // Another file with fewer lights, opened while the table and the text's
  // lines are out of view: its rows and its lines are there at once, so
  // that nothing below them moves when they come into view.
  await fresh.$eval('#picture', (picture) => picture.scrollIntoView({block: 'start'}));
  const twoLights = path.join(options.examples, 'two_lights.cfg');
  await afterEvaluation(fresh, async () => (await fileInput(fresh, 'Definition file')).uploadFile(twoLights));
  const rows = await fresh.$eval('#figures tbody', (body) => body.rows.length);
  const lines = await fresh.$eval('#text-lines', (list) => list.children.length);
  const fileLines = fs.readFileSync(twoLights, 'latin1').split('\n').length - 1;
  check(rows === 2 && lines === fileLines, 'the table and the lines out of view take their new rows at once',
        `${rows} rows, ${lines} lines of ${fileLines}`);
  await fresh.close();

  // A drag of a slider is one step; Reset goes back to the file as opened.
  await pressUntilDisabled(page, 'Undo', 100);
  const slider = await field(page, '[Light 1]', 'Sideways (x) slider', 'slider');
  await slider.evaluate((element) => element.scrollIntoView({block: 'center'}));
  const box = await slider.boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  for (let step = 1; step <= 8; ++step) await page.mouse.move(box.x + box.width / 2 + step * 6, box.y + box.height / 2);
  await page.mouse.up();
  const dragged = await bytesOf(page);
  check(dragged.join() !== opened.join(), 'a drag changes the definition');
  await (await control(page, 'Undo', 'button')).click();
  check((await bytesOf(page)).join() === opened.join(), 'a drag is undone in one step');
  await (await control(page, 'Redo', 'button')).click();
  const reset = await field(page, '[Light 1]', 'Reset Sideways (x) LatOffset', 'button');
  check(!(await reset.evaluate((element) => element.disabled)), 'Reset offered for a changed field');
  await reset.click();
  check((await bytesOf(page)).join() === opened.join() && await reset.evaluate((element) => element.disabled),
        'Reset puts the value of the file as opened back');

  // ---- A changed definition is not replaced without a question.
  await retype(page, await field(page, '[Light 2]', 'Up (y) ZOffset'), '0.25');
  const edited = await bytesOf(page);
  let asked = [];
  const answer = (accept) => (dialog) => {
    asked.push(dialog.type() + ':' + dialog.message());
    return accept ? dialog.accept() : dialog.dismiss();
  };
  page.once('dialog', answer(false));
  await (await control(page, 'Open example', 'button')).click();
  check(asked.length === 1 && asked[0].startsWith('confirm:') && (await bytesOf(page)).join() === edited.join(),
        'opening another definition asks first, and No keeps the changes', asked.join('\n'));
  asked = [];
  page.once('dialog', answer(false));
  await page.evaluate(() => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array([0x89, 0x50, 0x4E, 0x47, 13, 10, 26, 10])], 'photo.png'));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
  });
  await page.waitForFunction(() => true);
  await new Promise((resolve) => setTimeout(resolve, 300));
  check(asked.length === 1 && (await bytesOf(page)).join() === edited.join(), 'a dropped file asks first too',
        asked.join('\n'));

  // Files of the wrong kind are refused with a message; the definition stays.
  const folder = fs.mkdtempSync(path.join(work, 'kinds-'));
  const fakeModel = path.join(folder, 'plane.cfg');
  fs.writeFileSync(fakeModel, Buffer.concat([Buffer.from('MZ'), Buffer.alloc(200)]));
  const text = path.join(folder, 'lights.mdl');
  fs.writeFileSync(text, '[Main]\nLights=1\n');
  await (await fileInput(page, 'Definition file')).uploadFile(fakeModel);
  await page.waitForFunction(() => !document.getElementById('notice').hidden, {timeout: 5000});
  let notice = await page.$eval('#notice', (element) => element.textContent);
  check(notice.includes('plane.cfg') && (await bytesOf(page)).join() === edited.join(),
        'a model given as the definition is refused, the definition kept', notice);
  await (await fileInput(page, 'Model file')).uploadFile(text);
  await page.waitForFunction(() => document.getElementById('notice').textContent.includes('lights.mdl'), {timeout: 5000});
  notice = await page.$eval('#notice', (element) => element.textContent);
  check(!(await page.evaluate(() => window.lumoraPage.modelRun)) && (await bytesOf(page)).join() === edited.join(),
        'a file that is not a model given as the model is refused, the definition kept', notice);

  // ---- Leaving asks; the changes are offered back on the next visit.
  asked = [];
  page.once('dialog', answer(true));
  await page.reload();
  await page.waitForSelector('body[data-ready]', {timeout: 30000});
  check(asked.length === 1 && asked[0].startsWith('beforeunload'), 'reloading with changes asks first', asked.join('\n'));
  const offer = await control(page, 'Restore it', 'button');
  await afterEvaluation(page, () => offer.click());
  check((await bytesOf(page)).join() === edited.join() &&
        (await page.$eval('#file-name', (element) => element.textContent)) === 'three_lights.cfg',
        'the changed definition is restored after a reload');
  await (await control(page, 'Undo', 'button')).click();
  check((await bytesOf(page)).join() === opened.join(), 'the restored definition undoes to the file as opened');
  await page.close();
}

// ---- Files too large are refused at once with a message; the page goes on.
{
  const page = await openPage(browser, options.page, problems);
  const folder = fs.mkdtempSync(path.join(work, 'large-'));
  const oneLine = path.join(folder, 'one-line.cfg');
  fs.writeFileSync(oneLine, Buffer.alloc(10 * 1000 * 1000, 'x'));
  const huge = path.join(folder, 'huge.mdl');
  fs.closeSync(fs.openSync(huge, 'w'));
  fs.truncateSync(huge, 300 * 1000 * 1000);
  const cases = [['Definition file', oneLine, 'one-line.cfg'], ['Definition file', huge, 'huge.mdl'],
                 ['Model file', huge, 'huge.mdl']];
  for (const [button, file, name] of cases) {
    await page.evaluate(() => {
      document.getElementById('notice').textContent = '';
    });
    const started = Date.now();
    await (await fileInput(page, button)).uploadFile(file);
    let shown = true;
    await page.waitForFunction((name) => document.getElementById('notice').textContent.startsWith(name),
                               {timeout: 2000}, name).catch(() => { shown = false; });
    check(shown, `${name} given as ${button}: a message within 2 s`, `${Date.now() - started} ms`);
  }
  await page.evaluate((size) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(size).fill(0x79)], 'dropped.cfg'));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
  }, 5 * 1024 * 1024);
  let dropped = true;
  await page.waitForFunction(() => document.getElementById('notice').textContent.startsWith('dropped.cfg'),
                             {timeout: 2000}).catch(() => { dropped = false; });
  check(dropped, 'a dropped definition over 4 MiB is refused with a message');
  // Still usable: an example opens and a field edits it.
  await openExample(page, 'one_light.cfg');
  await afterEvaluation(page, async () => {
    await retype(page, await field(page, '[Light 1]', 'Up (y) ZOffset'), '0.75');
  });
  check(Buffer.from(await bytesOf(page)).toString('latin1').includes('ZOffset=0.75'),
        'after the refusals the page still opens and edits a definition');

  // Many messages: the first 200 listed and a count of the rest.
  const noisy = path.join(folder, 'noisy.cfg');
  fs.writeFileSync(noisy, '[Main]\nLights=1\n' + 'Nonsense=1\n'.repeat(450));
  page.once('dialog', (dialog) => dialog.accept());
  await afterEvaluation(page, async () => (await fileInput(page, 'Definition file')).uploadFile(noisy));
  const listed = await page.evaluate(() => ({
    items: document.querySelectorAll('#message-list > li').length,
    last: document.querySelector('#message-list > li:last-child').textContent,
    all: window.lumoraPage.messages.length,
  }));
  check(listed.all > 400 && listed.items === 201 && listed.last.includes(String(listed.all - 200)),
        'the first 200 messages are listed, and the number of the rest', JSON.stringify(listed));
  await page.close();
}

// ---- A failure inside the core is shown, and the page goes on with a
// fresh core. The test breaks the core from outside the page: each module
// it makes fails to evaluate while window.breakCore is set.
{
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    let factory;
    Object.defineProperty(window, 'createLumora', {
      configurable: true,
      get() {
        return factory && ((...args) => {
          const module = factory(...args);
          module.ready = module.ready.then((core) => {
            const evaluate = core.evaluate;
            core.evaluate = (...more) => {
              if (window.breakCore) throw new Error('broken on purpose');
              return evaluate.apply(core, more);
            };
            return core;
          });
          return module;
        });
      },
      set(made) { factory = made; },
    });
  });
  await page.setViewport({width: 1280, height: 800});
  await page.goto(new URL('file://' + options.page).href);
  await page.waitForSelector('body[data-ready]', {timeout: 30000});
  await openExample(page, 'one_light.cfg');
  const before = await bytesOf(page);
  await page.evaluate(() => { window.breakCore = true; });
  await retype(page, await field(page, '[Light 1]', 'Up (y) ZOffset'), '0.5');
  const notice = await page.$eval('#notice', (element) => element.hidden ? '' : element.textContent);
  check(notice.includes('broken on purpose'), 'a failure in the core is shown as a message', notice);
  await page.evaluate(() => { window.breakCore = false; });
  await new Promise((resolve) => setTimeout(resolve, 500));
  await afterEvaluation(page, async () => {
    await retype(page, await field(page, '[Light 1]', 'Up (y) ZOffset'), '0.25');
  });
  const after = Buffer.from(await bytesOf(page)).toString('latin1');
  check(after.includes('ZOffset=0.25') && after.length >= before.length - 2, 'the page goes on after the failure');
  await page.close();
}

// ---- The smaller points: names, states and keys of the controls.
{
  const page = await openPage(browser, options.page, problems);
  const savePicture = await control(page, 'Save picture', 'button');
  check(await savePicture.evaluate((element) => element.disabled), 'Save picture is disabled with nothing to draw');
  const folder = fs.mkdtempSync(path.join(work, 'small-'));
  const gearless = path.join(folder, 'gearless.cfg');
  fs.writeFileSync(gearless, '[Main]\nLights=1\n[Light 1]\nZOffset=1\nLatOffset=3 yd\n');
  await afterEvaluation(page, async () => (await fileInput(page, 'Definition file')).uploadFile(gearless));
  check(!(await savePicture.evaluate((element) => element.disabled)), 'Save picture is enabled with a picture');
  const files = await page.$eval('.files', (element) => element.innerText);
  check(files.includes('gearless.cfg') && !/no file chosen/i.test(files), 'the open file\'s name is shown, not "No file chosen"',
        files);

  // The gear's kind chosen before any gear key is kept for the keys typed.
  await (await control(page, 'nose gear (NoseGear…)', 'radio')).click();
  await retype(page, await field(page, '[Main]: number of lights and gear', 'Other gear height TailGearHeight'), '-1');
  const written = Buffer.from(await bytesOf(page)).toString('latin1');
  const nose = await (await control(page, 'nose gear (NoseGear…)', 'radio')).evaluate((radio) => radio.checked);
  check(written.includes('NoseGearHeight=-1') && !written.includes('TailGear') && nose,
        'the nose gear chosen before any gear key is written and stays chosen', written);

  // Names: each control once; a field in error invalid and described by
  // its message; sliders announce a rounded value with its unit.
  const names = [];
  const walk = (node) => {
    names.push(node);
    for (const child of node.children || []) walk(child);
  };
  walk(await page.accessibility.snapshot({interestingOnly: true}));
  const doubled = names.filter((node) => /^(.+) \1$/.test(node.name || ''));
  check(doubled.length === 0, 'no control named twice over', doubled.map((node) => node.name).join(', '));
  for (const wanted of ['button:Save definition', 'button:Save picture', 'button:Download model', 'region:Messages',
                        'button:Undo', 'button:Redo']) {
    check(names.some((node) => `${node.role}:${node.name}` === wanted), `a control named as ${wanted}`);
  }
  const lat = await page.accessibility.snapshot({root: await field(page, '[Light 1]', 'Sideways (x) LatOffset')});
  check(lat.invalid === 'true' && /yd/.test(lat.description || ''), 'a field in error is invalid and described by its message',
        JSON.stringify(lat));
  const announced = await page.$$eval('#form .field', (rows) => rows.filter((row) => !row.closest('[hidden]')).map((row) => {
    const slider = row.querySelector('input[type="range"]');
    return {value: Number(slider.value), text: slider.getAttribute('aria-valuetext') || ''};
  }));
  const badText = announced.filter((a) => {
    const m = /^(-?\d+(?:\.\d{1,2})?) \S+$/.exec(a.text);
    return !m || Math.abs(Number(m[1]) - a.value) > 0.01;
  });
  check(announced.length >= 13 && badText.length === 0, 'every slider announces a rounded value with its unit',
        JSON.stringify(badText));

  // The default of every field in full beside it.
  const defaults = await page.$$eval('#form .field', (rows) => rows.filter((row) => !row.closest('[hidden]')).map((row) => {
    const input = row.querySelector('input[type="text"]');
    const shown = row.querySelector('.help');
    return {placeholder: input.placeholder, shown: shown.innerText, cut: shown.scrollWidth > shown.clientWidth + 1};
  }));
  const hidden = defaults.filter((d) => d.placeholder && (!d.shown.includes(d.placeholder) || d.cut));
  check(defaults.length >= 13 && hidden.length === 0, 'every default is shown whole', JSON.stringify(hidden));

  // One spelling per unit, and a number without unit stays so.
  const units = await page.$$eval('#form select', (selects) => selects.map((select) =>
    [...select.options].map((option) => option.textContent)));
  const spellings = units[0];
  check(units.every((list) => list.join() === spellings.join()) && new Set(spellings).size === spellings.length &&
        !spellings.some((words) => words.length > 2), 'one short spelling per unit', JSON.stringify(spellings));

  // Arrow Up and Down step a number by its slider's step.
  page.once('dialog', (dialog) => dialog.accept());
  await openExample(page, 'one_light.cfg');
  const zOffset = await field(page, '[Light 1]', 'Up (y) ZOffset');
  const step = Number(await (await field(page, '[Light 1]', 'Up (y) slider', 'slider')).evaluate((slider) => slider.step));
  const was = Number(await zOffset.evaluate((input) => input.value));
  await zOffset.focus();
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowDown');
  const now = Number(await zOffset.evaluate((input) => input.value));
  const saved = Buffer.from(await bytesOf(page)).toString('latin1');
  check(Math.abs(now - (was + step)) < 1e-9 && saved.includes('ZOffset=' + now + '\n'),
        'Arrow Up and Down step the number by the slider\'s step', `${was} -> ${now} by ${step}`);

  // Shift while dragging: ten times finer.
  const moved = async (shift) => {
    const slider = await field(page, '[Light 1]', 'Sideways (x) slider', 'slider');
    await slider.evaluate((element) => element.scrollIntoView({block: 'center'}));
    const box = await slider.boundingBox();
    const before = Number(await slider.evaluate((element) => element.value));
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.down();
    await page.mouse.move(box.x + box.width / 2 + 1, box.y + box.height / 2);
    const start = Number(await slider.evaluate((element) => element.value));
    if (shift) await page.keyboard.down('Shift');
    for (let step = 1; step <= 4; ++step) await page.mouse.move(box.x + box.width / 2 + 1 + step * 3, box.y + box.height / 2);
    if (shift) await page.keyboard.up('Shift');
    await page.mouse.up();
    const end = Number(await slider.evaluate((element) => element.value));
    await (await control(page, 'Undo', 'button')).click();
    return {moved: end - start, before};
  };
  const coarse = await moved(false);
  const fine = await moved(true);
  check(coarse.moved > 0 && Math.abs(fine.moved * 10 - coarse.moved) <= coarse.moved * 0.2,
        'Shift while dragging moves ten times finer', JSON.stringify({coarse, fine}));
  await page.close();
}

check(problems.length === 0, 'no request but the page itself, no console error', problems.join('\n'));
await close();
fs.rmSync(work, {recursive: true, force: true});
finish();
