// The conversion worker: one engine (the command line's conversion compiled to
// WebAssembly, prepended to this file by build.mjs as createEngine) per run, its
// files in the engine's memory. The page ends the worker to cancel a run: nothing
// the run wrote ever leaves it then.
/* global createEngine */

const OUTPUT_FOLDER = '/out';

// Files under folder, by name (the engine writes no sub-folders).
function readFolder(FS, folder) {
  const files = [];
  for (const name of FS.readdir(folder)) {
    if (name === '.' || name === '..') continue;
    const path = `${folder}/${name}`;
    if (FS.isFile(FS.stat(path).mode)) files.push({ name, bytes: FS.readFile(path) });
  }
  return files;
}

self.onmessage = async (event) => {
  const { files, args, profile, environment } = event.data;
  const printed = [];
  const errors = [];
  try {
    const engine = await createEngine({
      print: (line) => printed.push(line),
      printErr: (line) => errors.push(line),
      onProgress: (status, percent) => self.postMessage({ type: 'progress', status, percent }),
      preRun: [(module) => Object.assign(module.ENV, environment)],
    });
    const { FS } = engine;
    for (const folder of ['/in', OUTPUT_FOLDER, '/profile']) FS.mkdir(folder);
    for (const file of files) {
      const path = `/in/${file.name}`;
      FS.writeFile(path, new Uint8Array(file.buffer));
      // The modification date is the Recorded On date, as on the desktop.
      FS.utime(path, file.lastModified, file.lastModified);
    }
    FS.writeFile('/profile/qern2rinex.ini', profile);
    engine.callMain(args);
    const report = JSON.parse(printed.join('\n'));
    const outputs = report.status === 'ok' ? readFolder(FS, OUTPUT_FOLDER) : [];
    self.postMessage({ type: 'done', report, outputs, log: errors }, outputs.map((o) => o.bytes.buffer));
  } catch (error) {
    self.postMessage({ type: 'done', report: { status: 'failed', message: String(error && error.message || error) },
      outputs: [], log: errors });
  }
};
