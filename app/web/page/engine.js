// Runs the engine in a Web Worker of its own for each call: a run's memory goes
// with its worker, and Cancel ends the worker.
/* global WORKER_SOURCE */
import { optionsOf } from './settings.js';

let workerUrl = null;
function newWorker() {
  if (!workerUrl) workerUrl = URL.createObjectURL(new Blob([WORKER_SOURCE], { type: 'text/javascript' }));
  return new Worker(workerUrl);
}

// The profile of a run: sources read from /in, outputs written to /out, named
// after the source (the command line's naming without OBS: and NAV:).
const PROFILE = '[Defaults]\nSrcDir=/in\nObsDir=/out\nNavDir=/out\n';

let converting = null;  // finish() of the conversion in progress (Cancel ends it)
let cancelRequested = false;
// The desktop's words for a cancelled conversion.
const CANCELLED = { status: 'cancelled', message: 'Operation canceled by user !' };

// Runs the engine with args over files ([{name, buffer, lastModified}]); resolves
// with {report, outputs, log}. onProgress(status, percent) follows the run;
// onStart(finish) receives the function that ends the run early with a result.
export function runEngine(files, args, { creationTime, onProgress, onStart } = {}) {
  return new Promise((resolve) => {
    const worker = newWorker();
    let done = false;
    const finish = (result) => {
      if (done) return;
      done = true;
      worker.terminate();
      resolve(result);
    };
    if (onStart) onStart(finish);
    worker.onmessage = ({ data }) => {
      if (data.type === 'progress') { if (onProgress) onProgress(data.status, data.percent); }
      else finish(data);
    };
    worker.onerror = (event) => {
      event.preventDefault();
      finish({ report: { status: 'failed', message: event.message || 'the conversion stopped' }, outputs: [], log: [] });
    };
    const environment = {};
    if (creationTime !== undefined && creationTime !== null) environment.SOURCE_DATE_EPOCH = String(Math.floor(creationTime));
    worker.postMessage({ files, args, profile: PROFILE, environment });
  });
}

// Ends the conversion in progress: it resolves as cancelled, with no output.
export function cancelRun() {
  cancelRequested = true;
  if (converting) converting({ report: { ...CANCELLED }, outputs: [], log: [] });
}

async function asEngineFile(file) {
  return { name: file.name, buffer: await file.arrayBuffer(), lastModified: file.lastModified || Date.now() };
}

// The facts of one raw file (the engine's --scan).
export async function scanFile(file) {
  const { report } = await runEngine([await asEngineFile(file)], ['--scan', `/in/${file.name}`]);
  return report;
}

// Converts files with settings: each file on its own, or all of them as one
// recording with settings.splice. Resolves with {status, message, summary,
// outputs: [{name, bytes}], runs} (status "ok", "failed" or "cancelled").
export async function convertFiles(files, settings = {}, onProgress) {
  const list = Array.from(files);
  if (list.length === 0) return { status: 'failed', message: 'Please choose a raw data file.', summary: [], outputs: [], runs: [] };
  const options = optionsOf(settings);
  const batches = settings.splice && list.length > 1 ? [list] : list.map((f) => [f]);
  const runs = [];
  cancelRequested = false;
  for (let i = 0; i < batches.length; ++i) {
    const group = batches[i];
    if (cancelRequested) {
      runs.push({ sources: group.map((f) => f.name), report: { ...CANCELLED }, outputs: [] });
      break;
    }
    const engineFiles = await Promise.all(group.map(asEngineFile));
    const sources = group.map((f) => `/in/${f.name}`);
    const args = group.length > 1 ? ['--splice', ...options, ...sources, 'S'] : [...options, sources[0], 'S'];
    const progress = (status, percent) => onProgress && onProgress(status, percent, i, batches.length);
    const { report, outputs } = await runEngine(engineFiles, args,
      { creationTime: settings.creationTime, onProgress: progress, onStart: (finish) => { converting = finish; } });
    converting = null;
    runs.push({ sources: group.map((f) => f.name), report, outputs });
    if (report.status === 'cancelled') break;
  }
  const failed = runs.find((r) => r.report.status !== 'ok');
  return {
    status: failed ? failed.report.status : 'ok',
    message: failed ? (failed.report.message || '') : null,
    summary: runs.flatMap((r) => r.report.summary || []),
    outputs: runs.flatMap((r) => r.outputs.map((o) => ({ name: o.name, bytes: o.bytes }))),
    runs,
  };
}
