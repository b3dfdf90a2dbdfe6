// The browser edition in headless Chromium: the page opened from the disk, files
// picked through #source and converted in the page, every output compared byte for
// byte with the command line's for the same settings and creation time.
// Run by scripts/web-test.sh, which builds the page and the files:
//   QERN_PAGE=.../qern2rinex.html QERN_CLI=.../qern2rinex QERN_FILES=DIR node --test browser.test.mjs
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const page = process.env.QERN_PAGE;
const cli = process.env.QERN_CLI;
const files = process.env.QERN_FILES;
const shots = process.env.QERN_SHOTS || files;
const creationTime = 1707264000;  // 2024-02-07 00:00:00 UTC
const pageUrl = pathToFileURL(page).href;

let browser;
let tab;
const requests = [];

before(async () => {
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${mkdtempSync(join(tmpdir(), 'qern-chromium-'))}`],
  });
  tab = await browser.newPage();
  await tab.setViewport({ width: 1100, height: 900 });
  // Every request of the page and of its workers.
  const cdp = await tab.target().createCDPSession();
  await cdp.send('Network.enable');
  cdp.on('Network.requestWillBeSent', (e) => requests.push(e.request.url));
  tab.on('request', (r) => requests.push(r.url()));
  await tab.goto(pageUrl, { waitUntil: 'load' });
});

after(async () => { if (browser) await browser.close(); });

// The command line's outputs for source and options, by file name.
function commandLine(sources, options, { splice = false } = {}) {
  const work = mkdtempSync(join(tmpdir(), 'qern-cli-'));
  mkdirSync(join(work, 'out'));
  writeFileSync(join(work, 'qern2rinex.ini'), `[Defaults]\nObsDir=${work}/out\nNavDir=${work}/out\n`);
  const args = [...(splice ? ['--splice'] : []), ...options, ...sources, 'S'];
  const run = spawnSync(cli, args, { env: { ...process.env, XDG_CONFIG_HOME: work, SOURCE_DATE_EPOCH: String(creationTime) }, encoding: 'utf8' });
  const outputs = {};
  for (const name of readdirSync(join(work, 'out'))) outputs[name] = readFileSync(join(work, 'out', name));
  return { status: run.status, stdout: run.stdout, stderr: run.stderr, outputs };
}

// Picks paths through #source and converts them with settings through the page's interface.
async function convertInPage(paths, settings) {
  const input = await tab.$('#source');
  await input.uploadFile(...paths);
  return tab.evaluate(async (s) => {
    const r = await window.qern2rinex.convert(document.getElementById('source').files, s);
    const text = (bytes) => { let t = ''; for (const b of bytes) t += String.fromCharCode(b); return btoa(t); };
    return { ...r, runs: undefined, outputs: r.outputs.map((o) => ({ name: o.name, base64: text(o.bytes) })) };
  }, settings);
}

function assertSameOutputs(result, expected) {
  const names = result.outputs.map((o) => o.name).sort();
  assert.deepEqual(names, Object.keys(expected.outputs).sort());
  for (const o of result.outputs)
    assert.ok(Buffer.from(o.base64, 'base64').equals(expected.outputs[o.name]), `${o.name} differs from the command line's`);
}

test('outputs are the command line\'s, byte for byte (RINEX 2 and 3, quality report, log files)', async () => {
  for (const [settings, options] of [
    [{ qc: true, log: true }, ['--qc', '--log']],
    [{ rinex: '3', marker: 'PAGE', interval: '10', antennaHeight: '1.5' }, ['--rinex=3', '--marker=PAGE', '--interval=10', '--antenna-height=1.5']],
  ]) {
    const source = join(files, 'sample.bin');
    const result = await convertInPage([source], { ...settings, creationTime });
    const expected = commandLine([source], options);
    assert.equal(result.status, 'ok', result.message);
    assert.equal(expected.status, 0, expected.stderr);
    assertSameOutputs(result, expected);
    // The summary as the command line prints it (its paths are the page's own).
    const strip = (lines) => lines.map((l) => l.replace(/: \S*\/([^/\s]+)$/, ': $1').replace(/ \S*\/([^/\s]+)/g, ' $1'));
    // Its notes (on standard error there) follow the summary lines.
    const printed = `${expected.stdout}${expected.stderr}`.trimEnd().split('\n');
    assert.deepEqual(strip(result.summary), strip(printed));
  }
});

test('satellite-dated data with Tx 75 ms', async () => {
  const source = join(files, 'satellite.bin');
  const result = await convertInPage([source], { tx: '75', creationTime });
  const expected = commandLine([source], ['--tx=75']);
  assert.equal(result.status, 'ok', result.message);
  assertSameOutputs(result, expected);
});

test('a batch of two files, and the same two spliced as one recording', async () => {
  const sources = [join(files, 'sample.bin'), join(files, 'satellite.bin')];
  const each = await convertInPage(sources, { creationTime });
  assert.equal(each.status, 'ok', each.message);
  const expected = { outputs: { ...commandLine([sources[0]], []).outputs, ...commandLine([sources[1]], []).outputs } };
  assertSameOutputs(each, expected);
  const parts = [join(files, 'part1.bin'), join(files, 'part2.bin')];
  const spliced = await convertInPage(parts, { creationTime, splice: true });
  assert.equal(spliced.status, 'ok', spliced.message);
  assertSameOutputs(spliced, commandLine(parts, [], { splice: true }));
});

test('a damaged file fails with the desktop\'s message and offers nothing', async () => {
  const source = join(files, 'damaged.bin');
  const result = await convertInPage([source], { creationTime });
  const expected = commandLine([source], []);
  assert.equal(result.status, 'failed');
  assert.notEqual(expected.status, 0);
  assert.ok(result.message && expected.stderr.includes(result.message.split('\n')[0]), `${result.message} / ${expected.stderr}`);
  assert.equal(result.outputs.length, 0);
  assert.equal(await tab.$$eval('#results a[download]', (a) => a.length), 0);
});

test('Cancel during a 24-hour conversion ends it with nothing to download', async () => {
  await (await tab.$('#source')).uploadFile(join(files, 'day.bin'));
  const running = tab.evaluate(() => window.qern2rinex.convert(document.getElementById('source').files, {})
    .then((r) => ({ status: r.status, outputs: r.outputs.length })));
  await tab.waitForFunction(() => document.getElementById('results').dataset.status === 'running' &&
    document.getElementById('progress').value > 2, { timeout: 120000, polling: 50 });
  await tab.click('#cancel');
  const result = await running;
  assert.deepEqual(result, { status: 'cancelled', outputs: 0 });
  assert.equal(await tab.$$eval('#results a[download]', (a) => a.length), 0);
});

test('the page shows the file, the summary, the downloads and the six charts', async () => {
  await (await tab.$('#source')).uploadFile(join(files, 'sample.bin'));
  await tab.waitForFunction(() => document.querySelectorAll('#file-info li').length === 1 &&
    document.querySelector('#file-info li').textContent.includes('epochs'), { polling: 100 });
  await tab.evaluate(() => {
    document.getElementById('setting-qc').checked = true;
    document.getElementById('setting-marker').value = 'SHOT';
  });
  await tab.click('#convert');
  await tab.waitForFunction(() => document.getElementById('results').dataset.status === 'ok', { timeout: 120000, polling: 100 });
  assert.equal(await tab.$$eval('#results svg.chart', (c) => c.length), 6);
  await tab.click('#download-all');
  await tab.waitForSelector('#zip');
  const zip = await tab.$eval('#zip', async (a) => {
    const bytes = new Uint8Array(await (await fetch(a.href)).arrayBuffer());
    return { magic: String.fromCharCode(bytes[0], bytes[1]), size: bytes.length };
  });
  assert.equal(zip.magic, 'PK');
  assert.match(await tab.$eval('#results pre.summary', (p) => p.textContent), /^Observation file: /);
  await tab.screenshot({ path: join(shots, 'web-page.png'), fullPage: true });
  // Remembered for the next visit.
  assert.equal(await tab.evaluate(() => JSON.parse(localStorage.getItem('qern2rinex.history.marker'))[0]), 'SHOT');
});

test('no request leaves the page', () => {
  const foreign = requests.filter((u) => u !== pageUrl && !u.startsWith('blob:') && !u.startsWith('data:'));
  assert.deepEqual(foreign, []);
});
