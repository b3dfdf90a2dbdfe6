// The browser edition's cost: one raw file converted in headless Chromium through
// the page's interface, timed in the page, with the browser's peak resident memory
// (every Chromium process added up, polled every 100 ms) against its memory before.
//   node bench.mjs PAGE RAW_FILE   (scripts/bench.sh --web)
import { readFileSync, readdirSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const [page, raw] = process.argv.slice(2);

// Resident memory (KB) of pid and every process below it.
function treeRss(root) {
  const children = new Map();
  const rss = new Map();
  for (const pid of readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const status = readFileSync(`/proc/${pid}/status`, 'utf8');
      const parent = status.match(/^PPid:\s+(\d+)/m)[1];
      const kb = status.match(/^VmRSS:\s+(\d+)/m);
      rss.set(pid, kb ? Number(kb[1]) : 0);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(pid);
    } catch { /* gone */ }
  }
  let total = 0;
  const todo = [String(root)];
  while (todo.length) {
    const pid = todo.pop();
    total += rss.get(pid) || 0;
    todo.push(...(children.get(pid) || []));
  }
  return total;
}

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${mkdtempSync(join(tmpdir(), 'qern-chromium-'))}`],
});
try {
  const tab = await browser.newPage();
  await tab.goto(pathToFileURL(page).href, { waitUntil: 'load' });
  await (await tab.$('#source')).uploadFile(raw);
  const pid = browser.process().pid;
  const before = treeRss(pid);
  let peak = before;
  const poll = setInterval(() => { peak = Math.max(peak, treeRss(pid)); }, 100);
  const result = await tab.evaluate(async () => {
    const start = performance.now();
    const r = await window.qern2rinex.convert(document.getElementById('source').files, { creationTime: 0 });
    return { status: r.status, message: r.message, seconds: (performance.now() - start) / 1000, summary: r.summary };
  });
  clearInterval(poll);
  peak = Math.max(peak, treeRss(pid));
  if (result.status !== 'ok') throw new Error(`conversion ${result.status}: ${result.message}`);
  console.log(JSON.stringify({ seconds: result.seconds, beforeKB: before, peakKB: peak, summary: result.summary.at(-1) }));
} finally {
  await browser.close();
}
