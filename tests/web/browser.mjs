// Headless Chromium for the page's test and its benchmark: Debian's
// chromium, a fresh profile, no network of its own, and the page opened
// from file:// with every request but its own refused.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import puppeteer from 'puppeteer-core';

export async function openBrowser(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'lumora-chromium-'));
  const args = ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update',
                '--disable-sync', `--user-data-dir=${profile}`, ...extraArgs];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true, args});
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return {browser, close};
}

// Opens the page in a new tab. Every request other than the page itself
// (and the blob: URLs of its own downloads) is refused and noted in
// problems, and so is every console error and uncaught exception.
export async function openPage(browser, pagePath, problems, viewport = {width: 1280, height: 800}) {
  const page = await browser.newPage();
  const url = pathToFileURL(path.resolve(pagePath)).href;
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    const asked = request.url();
    if (asked === url || asked.startsWith('blob:')) {
      request.continue();
    } else {
      problems.push('the page requested ' + asked.slice(0, 100));
      request.abort();
    }
  });
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push('console error: ' + message.text());
  });
  page.on('pageerror', (error) => problems.push('uncaught: ' + error.message));
  await page.setViewport(viewport);
  await page.goto(url);
  await page.waitForSelector('body[data-ready]', {timeout: 30000});
  return page;
}

// Seeded random numbers in [0, 1), the same on every run.
export function random(seed) {
  let s = seed >>> 0;
  return () => {
    s = (s + 0x6D2B79F5) >>> 0;
    let t = s;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// The test's options: "--name path" pairs, each path made absolute.
export function commandOptions() {
  const options = {};
  for (let i = 2; i < process.argv.length; i += 2) {
    options[process.argv[i].replace(/^--/, '')] = path.resolve(process.argv[i + 1]);
  }
  return options;
}

// The tally of a test's checks: a failed one is told with what it found;
// the last line is "N passed, N failed".
export function checks() {
  let passed = 0;
  let failed = 0;
  return {
    check(ok, what, detail) {
      if (ok) {
        passed++;
      } else {
        failed++;
        console.log(`FAILED: ${what}${detail !== undefined && detail !== '' && detail !== null ? '\n' + detail : ''}`);
      }
    },
    finish() {
      console.log(`${passed} passed, ${failed} failed`);
      process.exit(failed === 0 ? 0 : 1);
    },
  };
}

// The bytes of the file name that action makes the page download into the
// folder downloads, once it is complete; null when none comes within 10 s.
export async function downloadedInto(downloads, name, action) {
  const file = path.join(downloads, name);
  fs.rmSync(file, {force: true});
  await action();
  for (let waited = 0; waited < 10000; waited += 50) {
    if (fs.existsSync(file) && !fs.existsSync(file + '.crdownload')) {
      await new Promise((resolve) => setTimeout(resolve, 50));
      return fs.readFileSync(file);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return null;
}
