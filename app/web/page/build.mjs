// Makes the one HTML file of the browser edition: the engine (Emscripten's
// JavaScript with the WebAssembly inside) and worker.js as the worker's source,
// the page's modules bundled with esbuild, the style and the script inlined.
//   node build.mjs ENGINE_JS OUTPUT_HTML
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { build } from 'esbuild';

const here = dirname(fileURLToPath(import.meta.url));
const [engine, output] = process.argv.slice(2);
const workerSource = `${readFileSync(engine, 'utf8')}\n${readFileSync(join(here, 'worker.js'), 'utf8')}`;
const bundled = await build({
  entryPoints: [join(here, 'main.js')],
  bundle: true,
  minify: true,
  write: false,
  format: 'iife',
  target: 'es2020',
  define: { WORKER_SOURCE: JSON.stringify(workerSource) },
});
// Inlined into a <script>: "</script" inside would end it early.
const script = bundled.outputFiles[0].text.replace(/<\/script/gi, '<\\/script');
const page = readFileSync(join(here, 'index.html'), 'utf8')
  .replace('/*STYLE*/', () => readFileSync(join(here, 'style.css'), 'utf8'))
  .replace('/*SCRIPT*/', () => script);
writeFileSync(output, page);
