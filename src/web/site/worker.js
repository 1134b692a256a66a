// Runs the converter off the page's thread: one request at a time, each
// answered with {id, ok, ...} or {id, ok: false, error: {code, message,
// offset}}.  A failure of one drawing leaves the module ready for the next.
'use strict';
importScripts('tessa.js');

let modulePromise = createTessaModule();

// Copies the bytes and a C string into the module's memory, calls fn with
// their addresses, and frees them again.
function withInput(M, name, bytes, options, fn) {
  const text = (s) => {
    const n = M.lengthBytesUTF8(s) + 1;
    const p = M._malloc(n) >>> 0;
    if (p) M.stringToUTF8(s, p, n);
    return p;
  };
  const pName = text(name);
  const pOptions = text(JSON.stringify(options || {}));
  // Addresses and sizes come back as signed 32-bit numbers: above 2 GiB
  // they read as unsigned only after >>> 0.
  const pData = M._malloc(Math.max(bytes.length, 1)) >>> 0;
  try {
    if (!pName || !pOptions || !pData) return null;
    M.HEAPU8.set(bytes, pData);
    return fn(pName, pData, bytes.length, pOptions);
  } finally {
    M._free(pName);
    M._free(pOptions);
    M._free(pData);
  }
}

const TYPES = { convert: 'application/dxf', preview: 'image/svg+xml' };

// Reads an answer (JSON, and its bytes as 'bytes' or as a 'blob' of the
// op's type) and frees it.
function take(M, answer, want, op) {
  if (!answer) return null;
  try {
    const json = JSON.parse(M.UTF8ToString(M._tessa_web_json(answer) >>> 0));
    const p = M._tessa_web_bytes(answer) >>> 0;
    const bytes = M.HEAPU8.subarray(p, p + (M._tessa_web_size(answer) >>> 0));
    if (want === 'blob') return { json, blob: new Blob([bytes], { type: TYPES[op] }) };
    if (want === 'bytes') return { json, bytes: bytes.slice() };
    return { json };
  } finally {
    M._tessa_web_free(answer);
  }
}

const outOfMemory = { code: 'out-of-memory', message: 'there is not enough memory', offset: null };

function call(M, req, bytes) {
  switch (req.op) {
    case 'options':
      return { ok: true, options: take(M, M._tessa_web_options()).json };
    case 'info': {
      const a = take(M, withInput(M, req.name, bytes, null,
        (n, d, size) => M._tessa_web_info(n, d, size)));
      if (!a) return { ok: false, error: outOfMemory };
      if (a.json.reason) return { ok: false, error: a.json.reason };
      return { ok: true, info: a.json };
    }
    case 'convert':
    case 'preview': {
      const svg = req.op === 'preview';
      const a = take(M, withInput(M, req.name, bytes, req.options, (n, d, size, o) =>
        svg ? M._tessa_web_preview(n, d, size, o)
            : M._tessa_web_convert(n, d, size, o, req.writtenMs ?? -1, req.withInfo ? 1 : 0)),
      req.want || 'bytes', req.op);
      if (!a) return { ok: false, error: outOfMemory };
      // The summary of the same reading, when asked for: also for a
      // drawing that was read but could not be converted.
      const info = a.json.info;
      delete a.json.info;
      if (!a.json.ok) return { ok: false, error: a.json.reason, info };
      return { ok: true, result: a.json, bytes: a.bytes, blob: a.blob, info };
    }
    default:
      return { ok: false, error: { code: 'internal', message: 'unknown request ' + req.op, offset: null } };
  }
}

// The drawing's bytes: read here from a file, so that the page's thread
// never holds them; null when the file cannot be read.
async function drawingBytes(req) {
  if (!req.blob) return new Uint8Array(req.bytes || new ArrayBuffer(0));
  try {
    return new Uint8Array(await req.blob.arrayBuffer());
  } catch (err) {
    if (err instanceof RangeError) throw err;
    return null;
  }
}

// One zip of the DXF files ({path: Blob}), deflated here rather than on
// the page's thread.
async function zipped(files) {
  if (typeof fflate === 'undefined') importScripts('fflate.js');
  const entries = {};
  for (const [path, blob] of Object.entries(files)) entries[path] = new Uint8Array(await blob.arrayBuffer());
  return new Blob([fflate.zipSync(entries, { level: 6 })], { type: 'application/zip' });
}

async function serve(req) {
  let answer;
  try {
    if (req.op === 'zip') {
      answer = { ok: true, blob: await zipped(req.files) };
    } else {
      const bytes = await drawingBytes(req);
      answer = bytes ? call(await modulePromise, req, bytes)
        : { ok: false, error: { code: 'not-found', message: 'the file cannot be read', offset: null } };
    }
  } catch (err) {
    // The module itself failed: memory the browser would not give (a
    // RangeError from an array buffer, "out of memory"), or a trap such as
    // "memory access out of bounds", which is a fault, not a lack of memory.
    const oom = err instanceof RangeError || /out of memory|allocation failed/i.test(String(err && err.message));
    answer = { ok: false, error: oom ? outOfMemory
      : { code: 'internal', message: String(err && err.message || err), offset: null } };
  }
  // A module that trapped may hold broken state, and one that ran out of
  // memory keeps its heap at the ceiling (a wasm memory never shrinks),
  // cut up by the failed drawing: the next request gets a fresh module,
  // and the browser its memory back.
  if (!answer.ok && ['internal', 'out-of-memory'].includes(answer.error.code)) {
    modulePromise = createTessaModule();
  }
  const transfer = answer.bytes ? [answer.bytes.buffer] : [];
  postMessage({ id: req.id, ...answer }, transfer);
}

// In the order asked, one at a time: never two drawings in memory at once.
// Whatever escapes serve still gets its answer, and the queue goes on.
let queue = Promise.resolve();
onmessage = (e) => {
  const req = e.data;
  queue = queue.then(() => serve(req)).catch((err) => postMessage({
    id: req.id, ok: false, error: { code: 'internal', message: String(err && err.message || err), offset: null },
  }));
};
