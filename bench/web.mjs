// The page in the browser next to the native converter: the site's size,
// the time until window.tessaconv is ready, and the conversion time of
// drawings in the page (worker included) and with the native tessa.
//
//   node bench/web.mjs --site build-web/site --npm build-web/npm \
//        --tessa build/src/cli/tessa [--runs 3] DRAWING... \
//     | bench/results.py web "The page in the browser"
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const argv = process.argv.slice(2);
const opt = { runs: '3' };
const drawings = [];
for (let i = 0; i < argv.length; i++) {
  if (argv[i].startsWith('--')) opt[argv[i].slice(2)] = argv[++i];
  else drawings.push(argv[i]);
}
const runs = Number(opt.runs);
const require = createRequire(path.join(path.resolve(opt.npm), 'package.json'));
const { chromium } = require('playwright-core');

const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
const mib = (n) => (n / 1048576).toFixed(2);

// The conditions the figures were measured under, first.
const commit = (() => {
  try {
    return execFileSync('git', ['-C', path.dirname(new URL(import.meta.url).pathname), 'rev-parse', '--short', 'HEAD'],
                        { encoding: 'utf8' }).trim();
  } catch { return '?'; }
})();
console.log(`${new Date().toISOString().slice(0, 16).replace('T', ' ')} UTC, commit ${commit}, ` +
            `${os.cpus().length} cores, niceness ${os.getPriority()}, load average ` +
            `${os.loadavg().map((l) => l.toFixed(2)).join(' ')}`);

// ---- The site's size ----
let raw = 0, gz = 0, wasm = 0;
for (const name of fs.readdirSync(opt.site)) {
  const bytes = fs.readFileSync(path.join(opt.site, name));
  raw += bytes.length;
  gz += zlib.gzipSync(bytes, { level: 9 }).length;
  if (name.endsWith('.wasm')) wasm = bytes.length;
}
console.log(`site: ${mib(raw)} MiB, ${mib(gz)} MiB gzip -9 (module ${mib(wasm)} MiB)`);

// ---- A server of the site and the drawings ----
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };
const server = http.createServer((req, res) => {
  const url = new URL(req.url, 'http://x');
  const m = url.pathname.match(/^\/drawing\/(\d+)$/);
  const file = m ? drawings[Number(m[1])]
    : path.join(opt.site, url.pathname === '/' ? 'index.html' : url.pathname);
  if (!file || !fs.existsSync(file)) { res.writeHead(404); return res.end(); }
  res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const origin = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });

try {
  const ready = [];
  let page;
  for (let i = 0; i < runs; i++) {
    if (page) await page.close();
    page = await browser.newPage();
    const t0 = performance.now();
    await page.goto(origin);
    await page.evaluate(() => window.tessaconv.ready);
    ready.push(performance.now() - t0);
  }
  console.log(`time to ready (page load to module ready), median of ${runs}: ${median(ready).toFixed(0)} ms`);
  console.log('');
  console.log('| drawing | MiB | DXF MiB | page s | native s (-j 1) | page / native |');
  console.log('|---|---|---|---|---|---|');
  const out = path.join(os.tmpdir(), `tessa-web-bench-${process.pid}.dxf`);
  for (const [i, file] of drawings.entries()) {
    const web = await page.evaluate(async ({ i, name, runs }) => {
      const bytes = new Uint8Array(await (await fetch('/drawing/' + i)).arrayBuffer());
      const times = [];
      let size = 0;
      for (let k = 0; k < runs; k++) {
        const t0 = performance.now();
        const r = await window.tessaconv.convert(name, bytes, {});
        times.push(performance.now() - t0);
        size = r.dxf.length;
      }
      return { times, size };
    }, { i, name: path.basename(file), runs });
    const native = [];
    for (let k = 0; k < runs; k++) {
      const t0 = performance.now();
      execFileSync(opt.tessa, ['convert', '--quiet', '--force', '-j', '1', file, '-o', out]);
      native.push(performance.now() - t0);
    }
    fs.rmSync(out, { force: true });
    const w = median(web.times) / 1000, n = median(native) / 1000;
    console.log(`| ${path.basename(file)} | ${mib(fs.statSync(file).size)} | ${mib(web.size)} | ` +
                `${w.toFixed(2)} | ${n.toFixed(2)} | ${(w / n).toFixed(2)} |`);
  }
  console.log('');
  console.log(`Medians of ${runs} runs. The page's time runs from the call of convert to its answer ` +
              '(bytes to the worker and the DXF back included); the module has no threads. The ' +
              'native time is the whole tessa process, which writes the DXF file to disk.');
} finally {
  await browser.close();
  server.close();
}
