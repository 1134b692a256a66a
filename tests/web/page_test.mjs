// The page in Debian's Chromium, driven headless by playwright-core:
// window.tessaconv gives the native converter's bytes for the example and
// every real drawing (all versions, both spaces), says why a bad drawing
// or option fails and keeps working after it, and a person can pick
// drawings, convert them, download a DXF and the zip, and read a failure.
// Nothing is fetched from outside the page's origin.
//
// The same site with a module of a small memory ceiling runs out of memory
// on generated drawings, says so, and converts the next drawing.
//
//   node page_test.mjs --site DIR --small-memory DIR --npm DIR --tessa PATH
//        --gen PATH --examples DIR [--samples DIR] --work DIR
// Exit 77 (skipped) when the site, Chromium or the npm packages are missing.
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
  return pairs;
}, []));

function skip(why) {
  console.log(`skipped: ${why}`);
  process.exit(77);
}

const CHROMIUM = '/usr/bin/chromium';
if (!fs.existsSync(path.join(args.site, 'tessa.wasm')))
  skip(`no site at ${args.site} (emcc missing or not built: run scripts/quickstart.sh web)`);
if (!fs.existsSync(path.join(args['small-memory'], 'tessa.wasm'))) {
  // The web build makes it beside the site: its absence is a fault.
  console.log(`FAIL: no small-memory module at ${args['small-memory']} beside the site`);
  process.exit(1);
}
if (!fs.existsSync(CHROMIUM)) skip(`no Chromium at ${CHROMIUM} (apt-get install chromium)`);
let chromium, unzipSync;
try {
  const require = createRequire(path.join(path.resolve(args.npm), 'package.json'));
  ({ chromium } = require('playwright-core'));
  ({ unzipSync } = require('fflate'));
} catch {
  skip(`no npm packages in ${args.npm} (npm ci there)`);
}

let failures = 0;
function check(ok, what) {
  if (!ok) {
    failures++;
    console.log(`FAIL: ${what}`);
  }
}

// ---- The drawings and the native converter's outputs ---------------------------

function drawingsUnder(root) {
  const out = [];
  const walk = (dir) => {
    for (const e of fs.readdirSync(dir, { withFileTypes: true })) {
      const p = path.join(dir, e.name);
      if (e.isDirectory()) walk(p);
      else if (/\.(jww|jws|jwc|jwk)$/i.test(e.name)) out.push(p);
    }
  };
  walk(root);
  return out.sort();
}

// The environment's folder of real drawings wins over the configured one.
if (process.env.TESSA_SAMPLES_DIR) args.samples = process.env.TESSA_SAMPLES_DIR;
const drawings = [{ root: args.examples, file: path.join(args.examples, 'sample.jww') }];
if (args.samples && fs.existsSync(args.samples)) {
  for (const file of drawingsUnder(args.samples)) drawings.push({ root: args.samples, file });
} else {
  console.log(`real drawings not found at ${args.samples}: the example drawing alone is compared`);
}

// The header's dates differ by nature (a browser knows only a file's last
// change), so their values, and the time between them, are left out of the
// comparison.
const DATES = /(\$(?:TDU?(?:CREATE|UPDATE)|TDINDWG|TDUSRTIMER)\r\n 40\r\n)[^\r]*/g;
function maskedDigest(bytes) {
  let s = '';
  for (let i = 0; i < bytes.length; i += 65536)
    s += String.fromCharCode.apply(null, bytes.subarray(i, i + 65536));
  return createHash('sha256').update(Buffer.from(s.replace(DATES, '$1'), 'latin1')).digest('hex');
}

const work = path.resolve(args.work);
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });

const COMBOS = [];
for (const dxf of ['r12', 'r2000', 'r2007'])
  for (const space of ['model', 'paper']) COMBOS.push({ dxf, space });

// What the native tessa makes of one drawing: {digest} or {code}.
function native(file, combo) {
  const out = path.join(work, 'native.dxf');
  const report = path.join(work, 'native.json');
  fs.rmSync(out, { force: true });
  try {
    execFileSync(args.tessa, ['convert', '--quiet', '--force', '--dxf', combo.dxf, '--space', combo.space,
      '--report', report, file, '-o', out], { stdio: 'pipe' });
    return { digest: maskedDigest(fs.readFileSync(out)) };
  } catch {
    const r = JSON.parse(fs.readFileSync(report, 'utf8'));
    const d = (r.drawings || r.results || [r])[0] || {};
    return { code: d.reason ? d.reason.code : 'unknown' };
  }
}

// ---- A server of the site and the drawings ---------------------------------------

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.txt': 'text/plain' };
const served = [];  // drawings by number: /drawing/N
// Under /small-memory/ the site is served with the small-memory module in
// place of its own.
const SMALL = '/small-memory';
function siteFile(pathname) {
  let dir = args.site;
  if (pathname.startsWith(SMALL + '/')) {
    pathname = pathname.slice(SMALL.length);
    if (/^\/tessa\.(js|wasm)$/.test(pathname)) dir = args['small-memory'];
  }
  return path.join(dir, pathname === '/' ? 'index.html' : decodeURIComponent(pathname));
}
const server = http.createServer((req, res) => {
  const url = new URL(req.url, 'http://x');
  let file;
  const m = url.pathname.match(/^\/drawing\/(\d+)$/);
  if (m) file = served[Number(m[1])];
  else file = siteFile(url.pathname);
  if (!file || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    res.writeHead(404);
    return res.end();
  }
  res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                       'Last-Modified': fs.statSync(file).mtime.toUTCString() });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await chromium.launch({ executablePath: CHROMIUM, args: ['--no-sandbox'] });
const foreign = [];
async function openPage(locale, where = '/') {
  const context = await browser.newContext({ locale, acceptDownloads: true });
  const page = await context.newPage();
  page.on('request', (r) => {
    const u = r.url();
    if (!u.startsWith(origin + '/') && !u.startsWith('blob:') && !u.startsWith('data:')) foreign.push(u);
  });
  page.on('pageerror', (e) => check(false, `page error: ${e.message}`));
  await page.goto(origin + where);
  await page.evaluate(() => window.tessaconv.ready);
  return page;
}

try {
  const page = await openPage('en-US');

  // ---- Every drawing, every version and space: the native bytes --------------
  let compared = 0;
  for (const d of drawings) {
    const n = served.push(d.file) - 1;
    const rel = path.relative(d.root, d.file);
    const lastModified = fs.statSync(d.file).mtimeMs;
    const web = await page.evaluate(async ({ n, name, combos, lastModified }) => {
      const bytes = new Uint8Array(await (await fetch('/drawing/' + n)).arrayBuffer());
      const base64 = (u8) => {
        let s = '';
        for (let i = 0; i < u8.length; i += 32768) s += String.fromCharCode.apply(null, u8.subarray(i, i + 32768));
        return btoa(s);
      };
      const out = [];
      for (const options of combos) {
        try {
          out.push({ bin: base64((await window.tessaconv.convert(name, bytes, options, lastModified)).dxf) });
        } catch (e) {
          out.push({ code: e.code });
        }
      }
      return out;
    }, { n, name: path.basename(d.file), combos: COMBOS, lastModified });
    COMBOS.forEach((combo, i) => {
      const want = native(d.file, combo);
      const got = web[i].bin ? { digest: maskedDigest(Buffer.from(web[i].bin, 'base64')) } : { code: web[i].code };
      check(JSON.stringify(got) === JSON.stringify(want),
            `${rel} ${combo.dxf} ${combo.space}: browser ${JSON.stringify(got)}, native ${JSON.stringify(want)}`);
      compared++;
    });
  }
  console.log(`compared ${compared} conversions of ${drawings.length} drawings with the native converter`);

  // ---- The example in detail: dates, info, preview ----------------------------------
  const sample = drawings[0].file;
  const sampleBytes = [...fs.readFileSync(sample)];
  const detail = await page.evaluate(async ({ bytes, lastModified }) => {
    const u8 = new Uint8Array(bytes);
    const r = await window.tessaconv.convert('sample.jww', u8, {}, lastModified);
    const text = new TextDecoder('latin1').decode(r.dxf);
    const date = (name) => (text.match(new RegExp('\\' + name + '\r\n 40\r\n([^\r]*)')) || [])[1];
    return {
      created: date('$TDCREATE'), updated: date('$TDUPDATE'), format: r.format, version: r.version,
      counts: r.counts, warnings: r.warnings,
      info: await window.tessaconv.info('sample.jww', u8),
      svg: await window.tessaconv.preview('sample.jww', u8, { space: 'paper' }),
    };
  }, { bytes: sampleBytes, lastModified: fs.statSync(sample).mtimeMs });
  check(detail.created === detail.updated && detail.created && !detail.created.startsWith('2415018.5'),
        `both header dates are the file's last change: ${detail.created}, ${detail.updated}`);
  check(detail.format === 'jww' && Number.isInteger(detail.version) && detail.counts.LINE > 0,
        `convert's answer: ${JSON.stringify(detail).slice(0, 200)}`);
  const nativeInfo = JSON.parse(execFileSync(args.tessa, ['info', '--json', sample], { encoding: 'utf8' }));
  delete nativeInfo.input;
  const webInfo = { ...detail.info };
  check(webInfo.input === 'sample.jww', `info names its input: ${webInfo.input}`);
  delete webInfo.input;
  check(JSON.stringify(webInfo) === JSON.stringify(nativeInfo), 'info equals tessa info --json');
  const svgFile = path.join(work, 'native.svg');
  execFileSync(args.tessa, ['preview', '--quiet', '--force', '--space', 'paper', sample, '-o', svgFile]);
  check(detail.svg === fs.readFileSync(svgFile, 'utf8'), 'the preview equals tessa preview');

  // ---- Bad input: the library's reasons, and the worker goes on -----------------------
  const bad = await page.evaluate(async (bytes) => {
    const u8 = new Uint8Array(bytes);
    const reason = async (fn) => {
      try {
        await fn();
        return { code: 'none' };
      } catch (e) {
        return { code: e.code, offset: e.offset, message: e.message, isError: e instanceof Error };
      }
    };
    const tc = window.tessaconv;
    return {
      notDrawing: await reason(() => tc.convert('a.jww', new TextEncoder().encode('not a drawing at all'))),
      truncated: await reason(() => tc.convert('a.jww', u8.subarray(0, u8.length >> 1))),
      badValue: await reason(() => tc.convert('a.jww', u8, { dxf: 'r14' })),
      badName: await reason(() => tc.convert('a.jww', u8, { colour: 'red' })),
      badFormat: await reason(() => tc.convert('a.dwg', u8)),
      infoTruncated: await reason(() => tc.info('a.jww', u8.subarray(0, 100))),
      previewBadValue: await reason(() => tc.preview('a.jww', u8, { points: 'star' })),
      after: (await tc.convert('a.jww', u8)).dxf.length,
    };
  }, sampleBytes);
  check(bad.notDrawing.code === 'not-a-drawing' && bad.notDrawing.isError, `not a drawing: ${JSON.stringify(bad.notDrawing)}`);
  check(bad.truncated.code === 'truncated' && Number.isInteger(bad.truncated.offset),
        `truncated: ${JSON.stringify(bad.truncated)}`);
  check(bad.badValue.code === 'bad-option' && /r14/.test(bad.badValue.message), `bad value: ${JSON.stringify(bad.badValue)}`);
  check(bad.badName.code === 'bad-option', `bad option name: ${JSON.stringify(bad.badName)}`);
  check(bad.badFormat.code === 'unknown-format', `unknown format: ${JSON.stringify(bad.badFormat)}`);
  check(bad.infoTruncated.code === 'truncated', `info of a truncated drawing: ${JSON.stringify(bad.infoTruncated)}`);
  check(bad.previewBadValue.code === 'bad-option', `preview's bad value: ${JSON.stringify(bad.previewBadValue)}`);
  check(bad.after > 0, 'a drawing converts after the failures');

  // ---- The page as a person uses it -------------------------------------------------
  const picks = [sample];
  for (const d of drawings.slice(1, 3)) picks.push(d.file);
  const broken = path.join(work, 'broken.jww');
  fs.writeFileSync(broken, fs.readFileSync(sample).subarray(0, 300));
  picks.push(broken);
  const shots = path.join(work, 'screenshots');
  fs.mkdirSync(shots, { recursive: true });
  for (const locale of ['en-US', 'ja-JP']) {
    const p = locale === 'en-US' ? page : await openPage(locale);
    await p.setInputFiles('#files', picks);
    await p.click('#convert');
    await p.waitForFunction((n) => document.querySelectorAll('#drawings li.done, #drawings li.failed').length === n,
                            picks.length, { timeout: 120000 });
    const shown = await p.evaluate(() => ({
      done: document.querySelectorAll('#drawings li.done').length,
      failed: [...document.querySelectorAll('#drawings li.failed .reason')].map((e) => e.textContent),
      previews: document.querySelectorAll('#drawings li.done .previews img').length,
      lang: document.documentElement.lang,
      button: document.getElementById('convert').textContent,
    }));
    check(shown.done === picks.length - 1, `${locale}: ${shown.done} drawings converted`);
    // A Japanese reader gets the reason in Japanese, its code unchanged.
    const truncated = locale === 'ja-JP' ? /^truncated: ファイルが途中で終わっています \(\d+ バイト目\)$/ : /^truncated: the file ends/;
    check(shown.failed.length === 1 && truncated.test(shown.failed[0]),
          `${locale}: the broken drawing's reason shows: ${shown.failed}`);
    check(shown.previews === 2 * (picks.length - 1), `${locale}: ${shown.previews} previews`);
    check(locale === 'ja-JP' ? shown.button === '変換' : shown.button === 'Convert',
          `${locale}: the page speaks the browser's language (${shown.button})`);
    await p.screenshot({ path: path.join(shots, `page-${locale}.png`), fullPage: true });
    if (locale !== 'en-US') continue;

    const [dxfDownload] = await Promise.all([p.waitForEvent('download'), p.click('#drawings li.done a')]);
    const dxfBytes = fs.readFileSync(await dxfDownload.path());
    check(dxfDownload.suggestedFilename() === 'sample.dxf', `DXF download name ${dxfDownload.suggestedFilename()}`);
    check(maskedDigest(dxfBytes) === native(sample, { dxf: 'r2000', space: 'model' }).digest,
          'the downloaded DXF is the native one');
    const [zipDownload] = await Promise.all([p.waitForEvent('download'), p.click('#zip')]);
    const entries = unzipSync(new Uint8Array(fs.readFileSync(await zipDownload.path())));
    const names = Object.keys(entries).sort();
    check(names.length === picks.length - 1 && names.includes('sample.dxf') &&
          maskedDigest(Buffer.from(entries['sample.dxf'])) === maskedDigest(dxfBytes),
          `the zip holds every DXF: ${names}`);
  }

  // ---- A drawing of many entities: converted at once, its pictures on request -------
  const many = path.join(work, 'lines_30k.jww');
  execFileSync(args.gen, ['lines', '30000', many]);
  const manyPage = await openPage('en-US');
  await manyPage.setInputFiles('#files', [many]);
  await manyPage.click('#convert');
  await manyPage.waitForSelector('#drawings li.done', { timeout: 120000 });
  const pictures = () => manyPage.evaluate(() => document.querySelectorAll('#drawings li.done .previews img').length);
  const before = { pictures: await pictures(), links: await manyPage.locator('#drawings li.done a').count() };
  check(before.pictures === 0 && before.links === 1, `many entities: a download and no pictures yet: ${JSON.stringify(before)}`);
  await manyPage.screenshot({ path: path.join(shots, 'page-many-entities.png'), fullPage: true });
  await manyPage.click('#drawings li.done .draw');
  await manyPage.waitForFunction(() => document.querySelectorAll('#drawings li.done .previews img').length === 2,
                                 null, { timeout: 120000 });
  await manyPage.close();

  // ---- Memory running out: the module with the small ceiling ------------------------
  // 100 000 lines are read within its 32 MiB but their DXF and SVG do not
  // fit; 300 000 and 400 000 lines do not fit even being read; bytes beyond
  // the ceiling do not fit into the module at all.
  const tooLarge = [];
  for (const count of [100000, 400000, 300000]) {
    const file = path.join(work, `lines_${count / 1000}k.jww`);
    execFileSync(args.gen, ['lines', String(count), file]);
    tooLarge.push({ file, n: served.push(file) - 1 });
  }
  const nSample = served.push(sample) - 1;
  const small = await openPage('en-US', SMALL + '/');
  const memory = await small.evaluate(async ({ write, read, before, nSample }) => {
    const tc = window.tessaconv;
    const bytesOf = async (n) => new Uint8Array(await (await fetch('/drawing/' + n)).arrayBuffer());
    let message;
    const reason = async (fn) => {
      try {
        await fn();
        return 'none';
      } catch (e) {
        message = e.message;
        return e.code;
      }
    };
    const [w, r, b, sampleBytes] = await Promise.all([bytesOf(write), bytesOf(read), bytesOf(before),
                                                      bytesOf(nSample)]);
    const out = {};
    // The 300 000 lines run the heap up to its ceiling and cut it up: the
    // 400 000 lines' bytes then fit only into a fresh module, and only
    // there does the library itself run out reading them.
    await reason(() => tc.info('lines.jww', b));
    for (const [name, bytes] of [['read', r], ['write', w]]) {
      out[name] = { info: await reason(() => tc.info('lines.jww', bytes)) };
      out[name + 'Message'] = message;
      out[name].convert = await reason(() => tc.convert('lines.jww', bytes, { dxf: 'r12' }));
      out[name].preview = await reason(() => tc.preview('lines.jww', bytes));
    }
    out.input = await reason(() => tc.convert('zeros.jww', new Uint8Array(48 << 20)));
    out.inputMessage = message;
    const after = (await tc.convert('sample.jww', sampleBytes)).dxf;
    let s = '';
    for (let i = 0; i < after.length; i += 32768) s += String.fromCharCode.apply(null, after.subarray(i, i + 32768));
    out.after = btoa(s);
    return out;
  }, { write: tooLarge[0].n, read: tooLarge[1].n, before: tooLarge[2].n, nSample });
  check(JSON.stringify(memory.write) === JSON.stringify({ info: 'none', convert: 'out-of-memory', preview: 'out-of-memory' }),
        `memory runs out writing the DXF and the SVG: ${JSON.stringify(memory.write)}`);
  check(JSON.stringify(memory.read) === JSON.stringify({ info: 'out-of-memory', convert: 'out-of-memory', preview: 'out-of-memory' }),
        `memory runs out reading: ${JSON.stringify(memory.read)}`);
  check(memory.input === 'out-of-memory', `bytes beyond the ceiling: ${memory.input}`);
  check(memory.readMessage !== memory.inputMessage,
        `after running out, a fresh module takes the next drawing: ${memory.readMessage}`);
  check(maskedDigest(Buffer.from(memory.after, 'base64')) === native(sample, { dxf: 'r2000', space: 'model' }).digest,
        'after running out of memory the next drawing gives the native DXF');

  // The page shows why and offers nothing of those drawings.
  const memoryPicks = [tooLarge[1].file, tooLarge[0].file, sample];
  await small.setInputFiles('#files', memoryPicks);
  await small.click('#convert');
  await small.waitForFunction((n) => document.querySelectorAll('#drawings li.done, #drawings li.failed').length === n,
                              memoryPicks.length, { timeout: 120000 });
  const memoryShown = await small.evaluate(() => [...document.querySelectorAll('#drawings li')].map((li) => ({
    state: li.className,
    reason: (li.querySelector('.reason') || {}).textContent,
    summary: !!li.querySelector('.summary'),
    links: li.querySelectorAll('a').length,
    previews: li.querySelectorAll('.previews img').length,
  })));
  const [readShown, writeShown, sampleShown] = memoryShown;
  for (const [what, shown, summary] of [['read', readShown, false], ['written', writeShown, true]]) {
    check(shown.state === 'failed' && /^out-of-memory: /.test(shown.reason) && shown.links === 0 &&
          shown.previews === 0 && shown.summary === summary,
          `the page on a drawing too large to be ${what}: ${JSON.stringify(shown)}`);
  }
  check(sampleShown.state === 'done' && sampleShown.links === 1 && sampleShown.previews === 2,
        `the page converts the next drawing: ${JSON.stringify(sampleShown)}`);
  await small.screenshot({ path: path.join(shots, 'page-out-of-memory.png'), fullPage: true });

  check(foreign.length === 0, `requests outside the page's origin: ${foreign}`);
  console.log(`screenshots in ${shots}`);
} finally {
  await browser.close();
  server.close();
}

if (failures) {
  console.log(`${failures} checks failed`);
  process.exit(1);
}
console.log('all checks passed');
