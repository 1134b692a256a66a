// The page: window.tessaconv (the converter for scripts) and the form a
// person uses.  Every conversion runs in worker.js.
'use strict';

// ---- The converter for scripts ------------------------------------------------

const worker = new Worker('worker.js');
const waiting = new Map();
let nextId = 1;

worker.onmessage = (e) => {
  const { id } = e.data;
  const done = waiting.get(id);
  waiting.delete(id);
  if (done) done(e.data);
};

function ask(req, transfer) {
  return new Promise((resolve, reject) => {
    const id = nextId++;
    waiting.set(id, (answer) => {
      if (answer.ok) return resolve(answer);
      const err = new Error(answer.error.message);
      err.code = answer.error.code;
      err.offset = answer.error.offset;
      if (answer.info) err.info = answer.info;
      reject(err);
    });
    worker.postMessage({ id, ...req }, transfer || []);
  });
}

const localMs = (ms) => ms - new Date(ms).getTimezoneOffset() * 60000;

// The drawing as the worker takes it: a File or Blob as it is (the worker
// reads it, so a large drawing costs this thread nothing), bytes copied
// so that the caller's own buffer stays usable.  A file's last change, in
// local milliseconds, gives the header's dates.
function drawingOf(data) {
  if (data instanceof Blob) {
    return { drawing: { blob: data }, transfer: [],
             writtenMs: Number.isFinite(data.lastModified) ? localMs(data.lastModified) : undefined };
  }
  let bytes;
  if (data instanceof ArrayBuffer) bytes = data.slice(0);
  else if (ArrayBuffer.isView(data)) bytes = data.buffer.slice(data.byteOffset, data.byteOffset + data.byteLength);
  else throw Object.assign(new Error('the drawing must be bytes or a file'), { code: 'bad-option', offset: null });
  return { drawing: { bytes }, transfer: [bytes] };
}

// One request about a drawing, once the module is ready.
async function askAbout(op, name, data, fields) {
  await ready;
  const { drawing, transfer, writtenMs } = drawingOf(data);
  return ask({ op, name, ...drawing, writtenMs, ...fields }, transfer);
}

// The conversion's answer: the DXF as bytes, or as a Blob made in the
// worker (the page's downloads: no copy of a large DXF on this thread).
// withInfo: the summary of the same reading comes too, as info (and on a
// failure as the error's info, when the drawing was looked at).
async function convertTo(want, name, data, options, lastModified, withInfo) {
  const fields = { options: options || {}, want, withInfo: Boolean(withInfo) };
  if (lastModified !== undefined) fields.writtenMs = localMs(lastModified);
  const a = await askAbout('convert', name, data, fields);
  const r = a.result;
  const answer = { dxf: a.bytes || a.blob, format: r.format, version: r.version, counts: r.written,
                   warnings: r.warnings };
  if (withInfo) answer.info = a.info;
  return answer;
}

// The preview as an SVG Blob made in the worker, for the page's pictures.
async function previewBlob(name, data, options) {
  return (await askAbout('preview', name, data, { options: options || {}, want: 'blob' })).blob;
}

const ready = ask({ op: 'options' }).then((a) => a.options);

window.tessaconv = {
  ready: ready.then(() => undefined),
  // Resolves to {dxf, format, version, counts, warnings}.  A lastModified
  // (ms since 1970, as File gives it) sets the header's dates of bytes.
  convert: (name, data, options, lastModified) => convertTo('bytes', name, data, options, lastModified),
  async info(name, data) {
    return (await askAbout('info', name, data, {})).info;
  },
  async preview(name, data, options) {
    const a = await askAbout('preview', name, data, { options: options || {} });
    return new TextDecoder().decode(a.bytes);
  },
  options: ready,
};

// ---- Words --------------------------------------------------------------------

const WORDS = {
  en: {},
  ja: {
    lead: 'Jw_cad の図面 (JWW, JWS, JWC, JWK) をこのブラウザの中で DXF に変換します。図面はどこにも送られません。',
    drop: '図面やフォルダーをここにドロップするか、選んでください:',
    files: '図面…', folder: 'フォルダー…', convert: '変換', zip: 'すべてダウンロード (zip)',
    loading: '変換プログラムを読み込み中…', ready: '準備完了', licenses: 'ライセンス',
    waiting: '待機中', working: '変換中…', done: '完了', failed: '失敗',
    download: 'DXF をダウンロード', model: 'モデル空間', paper: 'ペーパー空間 (用紙)',
    working_n: (n) => `${n} 件を変換中…`, done_n: (ok, bad) => `${ok} 件完了、${bad} 件失敗`,
    summary: (i) => `${i.format.toUpperCase()} 版 ${i.version} (${i.jw_cad_version})、用紙 ${i.paper}、` +
      `レイヤー ${i.layers.length}、ブロック ${i.blocks.length}、要素 ${total(i.entities)}`,
    dxf: 'DXF の版', space: '空間', pen_colours: 'ペン色', layer_names: 'レイヤー名',
    scale_group: '縮尺のグループ', points: '点の形', point_size: '点の大きさ',
    at_byte: (offset) => `(${offset} バイト目)`,
    draw_previews: (n) => `プレビューを描く (要素 ${n} 個: 描き終わるまでページが応答しないことがあります)`,
  },
};

// The library's reasons by code, for a Japanese reader; an English page
// shows the library's own message, which is often more precise.
const REASONS_JA = {
  'not-found': '図面ファイルがありません',
  'unknown-format': '名前が .jww、.jws、.jwc、.jwk のどれでも終わっていません',
  'not-a-drawing': 'この形式の図面ではありません',
  'unsupported-version': 'この変換プログラムが読まないファイルの版です',
  'truncated': 'ファイルが途中で終わっています',
  'bad-count': 'ファイルの残りに収まらない個数があります',
  'bad-record': '意味をなさないレコードがあります',
  'block-nesting': 'ブロックの入れ子が深すぎます',
  'output-exists': '出力がすでにあります',
  'output-is-drawing': '出力に図面の拡張子が付いています',
  'write-failed': 'DXF ファイルを書けませんでした',
  'out-of-memory': 'メモリが足りません (このブラウザで使えるメモリに図面が収まりません)',
  'internal': '予期しない失敗です',
  'bad-option': 'オプションの値が選択肢にありません',
  'no-drawings': 'このフォルダーに図面がありません',
  'output-clash': '同じ出力になる図面がほかにあります',
  'interrupted': '中断されたため変換していません',
};
const ENGLISH = {
  lead: null, drop: null, files: null, folder: null, convert: null, zip: null, loading: null, licenses: null,
  ready: 'Ready', waiting: 'Waiting', working: 'Converting…', done: 'Done', failed: 'Failed',
  download: 'Download DXF', model: 'Model space', paper: 'Paper space (sheet)',
  working_n: (n) => `Converting ${n} drawings…`, done_n: (ok, bad) => `${ok} done, ${bad} failed`,
  summary: (i) => `${i.format.toUpperCase()} version ${i.version} (${i.jw_cad_version}), paper ${i.paper}, ` +
    `${i.layers.length} layers, ${i.blocks.length} blocks, ${total(i.entities)} entities`,
  dxf: 'DXF version', space: 'Space', pen_colours: 'Pen colours', layer_names: 'Layer names',
  scale_group: 'Scale group', points: 'Points', point_size: 'Point size',
  draw_previews: (n) => `Draw the previews (${n} entities: the page may not answer until they are drawn)`,
};
const lang = /^ja\b/i.test(navigator.language || '') ? 'ja' : 'en';
function t(key, ...args) {
  const w = (lang === 'ja' && WORDS.ja[key] !== undefined) ? WORDS.ja[key] : ENGLISH[key];
  return typeof w === 'function' ? w(...args) : w;
}
// "code: why" in the page's language.  A Japanese page names the byte the
// library's message would have named, and keeps that message as the tip.
function reasonText(err) {
  const ja = lang === 'ja' ? REASONS_JA[err.code] : undefined;
  if (ja === undefined) return `${err.code}: ${err.message}`;
  return `${err.code}: ${ja}` + (Number.isInteger(err.offset) && err.offset >= 0 ? ' ' + t('at_byte', err.offset) : '');
}
function reasonLine(err) {
  return el('div', { className: 'reason', textContent: reasonText(err), title: err.message });
}
function total(counts) { return Object.values(counts).reduce((a, b) => a + b, 0); }

// ---- The page -------------------------------------------------------------------

const $ = (id) => document.getElementById(id);
const picked = [];  // {file, path, li, dxf}

function el(tag, props, ...children) {
  const e = Object.assign(document.createElement(tag), props || {});
  for (const c of children) e.append(c);
  return e;
}

function translatePage() {
  document.documentElement.lang = lang;
  if (lang !== 'ja') return;
  for (const e of document.querySelectorAll('[data-t]')) {
    const w = WORDS.ja[e.dataset.t];
    if (typeof w === 'string') e.textContent = w;
  }
}

// One control per option, named as tessa convert names it.
function buildOptions(options) {
  const form = $('options');
  for (const o of options) {
    const flag = '--' + o.name.replace(/_/g, '-');
    let input;
    if (o.values) {
      input = el('select', { name: o.name });
      for (const v of o.values) input.append(el('option', { value: v, textContent: v }));
    } else {
      input = el('input', { name: o.name, type: 'number', min: o.min, max: o.max,
                            step: o.name === 'scale_group' ? 1 : 'any' });
    }
    input.value = o.default;
    form.append(el('label', {}, el('span', { textContent: t(o.name) + ' ' }), el('code', { textContent: flag }), input));
  }
}

function chosenOptions() {
  const o = {};
  for (const [k, v] of new FormData($('options'))) o[k] = v;
  return o;
}

function addFiles(files) {
  for (const { file, path } of files) {
    if (path.includes('/') && !/\.(jww|jws|jwc|jwk)$/i.test(file.name)) continue;
    const li = el('li', { className: 'waiting' },
      el('span', { className: 'name', textContent: path }),
      el('span', { className: 'status', textContent: t('waiting') }));
    $('drawings').append(li);
    picked.push({ file, path, li, dxf: null });
  }
  $('convert').disabled = picked.length === 0;
}

function summaryLine(info) {
  return el('div', { className: 'summary', textContent: t('summary', info) });
}

function showFailure(item, err) {
  item.li.className = 'failed';
  item.li.querySelector('.status').textContent = t('failed');
  item.li.append(reasonLine(err));
}

function svgImage(picture, caption) {
  const url = URL.createObjectURL(picture);
  return el('figure', {}, el('img', { src: url, alt: caption }), el('figcaption', { textContent: caption }));
}

function dxfName(path) { return path.replace(/\.[^./]*$/, '') + '.dxf'; }

// Drawings with more entities than this get their previews on request: an
// SVG picture is drawn on the page's thread, and one of 100 000 entities
// holds it for seconds.
const PREVIEW_LIMIT = 20000;

function entitiesToDraw(info) {
  return total(info.entities) + info.blocks.reduce((n, b) => n + b.entities, 0);
}

// Both pictures of a converted drawing; a failure shows its reason, the
// DXF stays.
async function drawPreviews(item, options, previews) {
  try {
    for (const space of ['model', 'paper']) {
      const svg = await previewBlob(item.file.name, item.file, { ...options, space });
      previews.append(svgImage(svg, t(space)));
    }
  } catch (err) {
    item.li.append(reasonLine(err));
  }
}

async function convertOne(item, options) {
  const { li } = item;
  li.className = 'working';
  li.querySelector('.status').textContent = t('working');
  for (const old of li.querySelectorAll('.reason, .summary, .previews, a')) old.remove();
  item.dxf = null;
  let r;
  try {
    // One reading gives the summary and the DXF file.
    try {
      r = await convertTo('blob', item.file.name, item.file, options, undefined, true);
    } catch (err) {
      // Read, but not converted (memory ran out, say): the summary still shows.
      if (err.info && !err.info.reason) li.append(summaryLine(err.info));
      throw err;
    }
    const { info } = r;
    li.append(summaryLine(info));
    item.dxf = r.dxf;
    const link = el('a', { href: URL.createObjectURL(item.dxf), download: dxfName(item.file.name),
                           textContent: t('download') });
    const previews = el('div', { className: 'previews' });
    li.append(link, previews);
    const count = entitiesToDraw(info);
    if (count <= PREVIEW_LIMIT) {
      await drawPreviews(item, options, previews);
    } else {
      const draw = el('button', { type: 'button', className: 'draw', textContent: t('draw_previews', count) });
      draw.onclick = () => {
        draw.remove();
        drawPreviews(item, options, previews);
      };
      previews.append(draw);
    }
  } catch (err) {
    showFailure(item, err);
    return;
  }
  li.className = 'done';
  li.querySelector('.status').textContent = t('done') +
    (r.warnings.length ? ` (${r.warnings.join('; ')})` : '');
}

async function convertAll() {
  const options = chosenOptions();
  $('convert').disabled = $('zip').disabled = true;
  $('state').textContent = t('working_n', picked.length);
  for (const item of picked) await convertOne(item, options);
  const ok = picked.filter((i) => i.dxf).length;
  $('state').textContent = t('done_n', ok, picked.length - ok);
  $('convert').disabled = false;
  $('zip').disabled = ok === 0;
}

// One zip of every DXF, in the folders the drawings came from.
async function downloadAll() {
  const files = {};
  for (const item of picked) {
    if (item.dxf) files[dxfName(item.path)] = item.dxf;
  }
  $('zip').disabled = true;
  try {
    // Packed in the worker: deflating a large DXF takes seconds.
    const { blob } = await ask({ op: 'zip', files });
    const a = el('a', { href: URL.createObjectURL(blob), download: 'dxf.zip' });
    document.body.append(a);
    a.click();
    a.remove();
  } catch (err) {
    $('state').textContent = reasonText(err);
  } finally {
    $('zip').disabled = false;
  }
}

// Files of a dropped folder, with their paths.
async function droppedFiles(items) {
  const out = [];
  const walk = async (entry, prefix) => {
    if (entry.isFile) {
      const file = await new Promise((res, rej) => entry.file(res, rej));
      out.push({ file, path: prefix + entry.name });
    } else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((res, rej) => reader.readEntries(res, rej));
        if (batch.length === 0) break;
        for (const e of batch) await walk(e, prefix + entry.name + '/');
      }
    }
  };
  const entries = [...items].map((i) => i.webkitGetAsEntry && i.webkitGetAsEntry()).filter(Boolean);
  for (const e of entries) await walk(e, '');
  return out;
}

function setUp() {
  translatePage();
  $('files').onchange = (e) => addFiles([...e.target.files].map((f) => ({ file: f, path: f.name })));
  $('folder').onchange = (e) => addFiles([...e.target.files]
    .filter((f) => /\.(jww|jws|jwc|jwk)$/i.test(f.name))
    .map((f) => ({ file: f, path: f.webkitRelativePath || f.name })));
  const drop = $('pick');
  drop.ondragover = (e) => { e.preventDefault(); drop.classList.add('over'); };
  drop.ondragleave = () => drop.classList.remove('over');
  drop.ondrop = async (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    addFiles(await droppedFiles(e.dataTransfer.items));
  };
  $('convert').onclick = convertAll;
  $('zip').onclick = downloadAll;
  ready.then((options) => {
    buildOptions(options);
    $('state').textContent = t('ready');
    $('convert').disabled = picked.length === 0;
  }, (err) => { $('state').textContent = String(err.message || err); });
}

setUp();
