// The page: choose raw files, see what they hold, set the header texts and the
// run, convert, then download the outputs and read the quality report. Everything
// stays on this machine: the files go to a Web Worker of this page, never out.
import { zip } from 'fflate';
import { HEADER_FIELDS, RUN_FIELDS } from './settings.js';
import { cancelRun, convertFiles, scanFile } from './engine.js';
import { qualityCharts } from './charts.js';

const $ = (id) => document.getElementById(id);
const HISTORY_LENGTH = 15;
const store = {
  get(key, fallback) {
    try { const v = localStorage.getItem(`qern2rinex.${key}`); return v === null ? fallback : JSON.parse(v); } catch { return fallback; }
  },
  set(key, value) { try { localStorage.setItem(`qern2rinex.${key}`, JSON.stringify(value)); } catch { /* storage off */ } },
};

let chosen = [];
let downloads = [];  // object URLs of the shown results

function field(f) {
  const row = document.createElement('label');
  row.className = `field ${f.kind}`;
  const caption = document.createElement('span');
  caption.textContent = f.label;
  let input;
  if (f.kind === 'select') {
    input = document.createElement('select');
    for (const c of f.choices) input.append(new Option(c || '(profile)', c));
  } else {
    input = document.createElement('input');
    input.type = f.kind === 'check' ? 'checkbox' : 'text';
  }
  input.id = `setting-${f.key}`;
  input.dataset.key = f.key;
  const saved = store.get(`value.${f.key}`, f.initial);
  if (f.kind === 'check') input.checked = Boolean(saved);
  else if (saved !== undefined) input.value = saved;
  if (f.history) {
    const list = document.createElement('datalist');
    list.id = `history-${f.key}`;
    for (const h of store.get(`history.${f.key}`, [])) list.append(new Option(h));
    input.setAttribute('list', list.id);
    row.append(list);
  }
  if (f.kind === 'check') row.append(input, caption);
  else row.append(caption, input);
  return row;
}

function readSettings() {
  const settings = {};
  for (const f of [...HEADER_FIELDS, ...RUN_FIELDS]) {
    const input = $(`setting-${f.key}`);
    settings[f.key] = f.kind === 'check' ? input.checked : input.value.trim();
  }
  settings.splice = $('splice').checked;
  return settings;
}

// The values of this run become the page's, header texts go to the top of their histories.
function remember(settings) {
  for (const f of [...HEADER_FIELDS, ...RUN_FIELDS]) {
    store.set(`value.${f.key}`, settings[f.key]);
    if (!f.history || !settings[f.key]) continue;
    const history = [settings[f.key], ...store.get(`history.${f.key}`, []).filter((h) => h !== settings[f.key])];
    store.set(`history.${f.key}`, history.slice(0, HISTORY_LENGTH));
    $(`history-${f.key}`).replaceChildren(...history.slice(0, HISTORY_LENGTH).map((h) => new Option(h)));
  }
}

function describe(file, facts) {
  const item = document.createElement('li');
  const name = document.createElement('strong');
  name.textContent = file.name;
  item.append(name);
  const text = document.createElement('span');
  if (facts.status !== 'ok') {
    text.textContent = ` — ${facts.message}`;
  } else {
    const kinds = Object.entries(facts.kinds).map(([k, n]) => `${k} ${n}`).join(', ');
    const span = facts.span === null ? 'no epoch' : `${facts.first} to ${facts.last} GPS (${(facts.span / 3600).toFixed(2)} h)`;
    text.textContent = ` — ${facts.format}, ${facts.bytes} bytes; ${span}; interval ${facts.interval ?? '?'} s; `
      + `${facts.epochs} epochs; ${kinds}`;
  }
  item.append(text);
  return item;
}

let picks = 0;  // the latest pick: facts of an earlier one are dropped
async function choose(files) {
  chosen = Array.from(files);
  const pick = ++picks;
  const info = $('file-info');
  info.replaceChildren();
  $('splice-row').hidden = chosen.length < 2;
  $('convert').disabled = chosen.length === 0;
  for (const file of chosen) {
    const facts = await scanFile(file);
    if (pick !== picks) return;
    info.append(describe(file, facts));
  }
}

function setProgress(status, percent, run, runs) {
  const bar = $('progress');
  bar.value = (run + percent / 100) / runs * 100;
  $('progress-text').textContent = `${runs > 1 ? `File ${run + 1} of ${runs}: ` : ''}${status} ${percent}%`;
}

function link(name, blob) {
  const url = URL.createObjectURL(blob);
  downloads.push(url);
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  a.textContent = name;
  return a;
}

function showResult(result) {
  for (const url of downloads) URL.revokeObjectURL(url);
  downloads = [];
  const box = $('results');
  box.replaceChildren();
  box.dataset.status = result.status;
  const head = document.createElement('p');
  head.className = result.status === 'ok' ? 'ok' : 'failed';
  head.id = 'result-message';
  head.textContent = result.status === 'ok' ? 'Conversion completed.' : result.message || 'The conversion failed.';
  box.append(head);
  for (const run of result.runs) {
    const section = document.createElement('section');
    section.className = 'run';
    const title = document.createElement('h3');
    title.textContent = run.sources.join(' + ');
    const summary = document.createElement('pre');
    summary.className = 'summary';
    summary.textContent = run.report.status === 'ok' ? run.report.summary.join('\n')
      : [run.report.message, ...(run.report.summary || [])].filter(Boolean).join('\n');
    section.append(title, summary);
    if (run.outputs.length) {
      const list = document.createElement('ul');
      list.className = 'outputs';
      for (const o of run.outputs) {
        const li = document.createElement('li');
        li.append(link(o.name, new Blob([o.bytes])), ` (${o.bytes.length} bytes)`);
        list.append(li);
      }
      section.append(list);
    }
    if (run.report.series) {
      const charts = document.createElement('div');
      charts.className = 'charts';
      charts.append(...qualityCharts(run.report.series, run.report.quality));
      section.append(charts);
    }
    box.append(section);
  }
  if (result.outputs.length > 1) {
    // The zip is made when asked for (off the page's thread): a day of data is large.
    const all = document.createElement('button');
    all.id = 'download-all';
    all.textContent = 'Download all';
    all.addEventListener('click', () => {
      const files = {};
      for (const o of result.outputs) files[o.name] = o.bytes;
      all.disabled = true;
      zip(files, { level: 6 }, (error, data) => {
        all.disabled = false;
        if (error) { all.textContent = `Download all: ${error.message}`; return; }
        const a = link('qern2rinex-outputs.zip', new Blob([data]));
        a.id = 'zip';
        all.after(' ', a);
        a.click();
      });
    });
    box.insertBefore(all, head.nextSibling);
  }
}

// The automation interface: the page's conversion without its form.
async function convert(files, settings = {}) {
  const bar = $('progress');
  bar.value = 0;
  $('progress-text').textContent = '';
  $('results').replaceChildren();
  $('results').dataset.status = 'running';
  $('convert').disabled = true;
  $('cancel').disabled = false;
  try {
    const result = await convertFiles(files, settings, setProgress);
    showResult(result);
    if (result.status === 'ok') bar.value = 100;
    return result;
  } finally {
    $('convert').disabled = chosen.length === 0;
    $('cancel').disabled = true;
  }
}

function init() {
  $('header-fields').append(...HEADER_FIELDS.map(field));
  $('run-fields').append(...RUN_FIELDS.map(field));
  $('source').addEventListener('change', (e) => choose(e.target.files));
  const drop = $('drop');
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (e) => { e.preventDefault(); drop.classList.remove('over'); choose(e.dataTransfer.files); });
  $('convert').addEventListener('click', async () => {
    const settings = readSettings();
    remember(settings);
    await convert(chosen, settings);
  });
  $('cancel').addEventListener('click', cancelRun);
}

window.qern2rinex = { convert, cancel: cancelRun };
init();
