// The page in the browser next to the native converter: the site's size,
// the time until window.tessaconv is ready, the conversion time of
// drawings in the page (worker included) and with the native tessa, and
// how the page's own thread answers while a drawing converts in the worker
// next to the same time idle.
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

// ---- The page's thread while the worker converts ----
// In the page: the gaps between animation frames, how late a 10 ms
// setInterval tick comes, and the delay from a real input event (a mouse
// move sent by the browser) to its handler.
function installProbes() {
  const probes = { frames: [], ticks: [], inputs: [], running: false, round: 0 };
  probes.start = () => {
    Object.assign(probes, { frames: [], ticks: [], inputs: [], running: true });
    // A frame callback of an earlier round may still be pending: it ends
    // its own chain.
    const round = ++probes.round;
    let last = performance.now();
    const frame = (now) => {
      if (!probes.running || probes.round !== round) return;
      probes.frames.push(now - last);
      last = now;
      requestAnimationFrame(frame);
    };
    requestAnimationFrame((now) => { last = now; requestAnimationFrame(frame); });
    let due = performance.now() + 10;
    probes.interval = setInterval(() => {
      const now = performance.now();
      probes.ticks.push(Math.max(0, now - due));
      due = now + 10;
    }, 10);
  };
  probes.stop = () => {
    probes.running = false;
    clearInterval(probes.interval);
    return { frames: probes.frames, ticks: probes.ticks, inputs: probes.inputs };
  };
  addEventListener('mousemove', (e) => {
    if (probes.running) probes.inputs.push(performance.now() - e.timeStamp);
  });
  window.probes = probes;
}

// Moves the mouse every 50 ms until done() says so; each move waits for
// the browser to take it.
async function moveMouse(page, done) {
  for (let i = 0; !(await done()); i++) {
    await page.mouse.move(100 + (i % 50) * 4, 200 + (i % 7) * 10);
    await new Promise((r) => setTimeout(r, 50));
  }
}

function spread(xs) {
  if (xs.length === 0) return { n: 0, median: NaN, p99: NaN, max: NaN };
  const s = [...xs].sort((a, b) => a - b);
  const at = (q) => s[Math.min(s.length - 1, Math.floor(q * s.length))];
  return { n: s.length, median: at(0.5), p99: at(0.99), max: s[s.length - 1] };
}

// Runs the probes from start() until isDone() holds, moving the mouse.
async function probed(page, start, isDone) {
  await page.evaluate(() => window.probes.start());
  const t0 = performance.now();
  await start();
  await moveMouse(page, isDone);
  const ms = performance.now() - t0;
  return { ms, ...(await page.evaluate(() => window.probes.stop())) };
}

async function responsiveness(page) {
  const file = drawings[drawings.length - 1];
  if (!file) return;
  const name = path.basename(file);
  await page.evaluate(installProbes);
  // The page as a person uses it: the drawing picked, Convert pressed,
  // until its line says done (a summary, the DXF; no pictures at this
  // size); then "download all" until the zip arrives.
  await page.setInputFiles('#files', [file]);
  const person = await probed(page, () => page.click('#convert'),
    () => page.evaluate(() => document.querySelector('#drawings li.done, #drawings li.failed') !== null));
  let zipped = false;
  const zip = await probed(page, async () => {
    page.waitForEvent('download', { timeout: 600000 }).then(() => { zipped = true; });
    await page.click('#zip');
  }, async () => zipped);
  // A script's call with the drawing as bytes, which are copied on the
  // page's thread first.
  await page.evaluate(async (i) => {
    window.benchBytes = new Uint8Array(await (await fetch('/drawing/' + i)).arrayBuffer());
  }, drawings.length - 1);
  const script = await probed(page, () => page.evaluate((name) => {
    window.benchDone = false;
    window.tessaconv.convert(name, window.benchBytes, {}).finally(() => { window.benchDone = true; });
  }, name), () => page.evaluate(() => window.benchDone));
  // Idle for as long as the longest of them.
  const idleMs = Math.max(person.ms, zip.ms, script.ms);
  let t0;
  const idle = await probed(page, async () => { t0 = performance.now(); },
                            async () => performance.now() - t0 >= idleMs);

  const ms = (x) => (Number.isFinite(x) ? x.toFixed(1) : '-');
  const cells = (xs) => {
    const d = spread(xs);
    return `${ms(d.median)} / ${ms(d.p99)} / ${ms(d.max)} (${d.n})`;
  };
  console.log('');
  console.log(`The page's thread while ${name} converts in the worker, next to the same time idle. ` +
              'Median / 99th percentile / longest, in ms (count):');
  console.log('');
  console.log('| the page\'s thread | s | gap between animation frames | lateness of a 10 ms timer tick | ' +
              'mouse move to its handler |');
  console.log('|---|---|---|---|---|');
  for (const [what, r] of [['idle', idle], ['page: picked, Convert pressed, until done', person],
                           ['page: "download all" until the zip arrives', zip],
                           ['window.tessaconv.convert(name, Uint8Array)', script]]) {
    console.log(`| ${what} | ${(r.ms / 1000).toFixed(2)} | ${cells(r.frames)} | ${cells(r.ticks)} | ` +
                `${cells(r.inputs)} |`);
  }
  console.log('');
  console.log('Mouse moves are sent through the browser every 50 ms, each once the browser took the last. ' +
              'The page hands the picked file to the worker, which reads it, and gets the DXF back as a Blob ' +
              'made there; the zip is packed in the worker too. convert() given bytes copies them on the ' +
              'page\'s thread first (the caller keeps its buffer) and gets the DXF back without a copy.');
}

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
  await responsiveness(page);
} finally {
  await browser.close();
  server.close();
}
