// The worker: the WebAssembly module of the core, answering the page's requests one at a time.
/* global OrrelinModule */
"use strict";
let core = null;
const ready = OrrelinModule().then((m) => { core = m; });
let lastProgress = 0;

function progress(done, total) {
  const now = Date.now();
  if (now - lastProgress < 100 && done < total) return;
  lastProgress = now;
  postMessage({ progress: [done, total] });
}

function saved(file) {
  return { error: file.error, name: file.name, message: file.message, bytes: file.bytes };
}

const ops = {
  open(slot, name, buffer, all) {
    const bytes = new Uint8Array(buffer);
    const at = core.prepare(bytes.length);
    core.HEAPU8.set(bytes, at);
    return JSON.parse(core.open(slot, name, all, progress));
  },
  options(tz, unicode, page, all) { core.setOptions(tz, unicode, page, all); return true; },
  tree(slot) { return JSON.parse(core.tree(slot)); },
  records(slot, node) { return JSON.parse(core.records(slot, node)); },
  record(slot, node, raw) { return JSON.parse(core.record(slot, node, raw)); },
  find(query) { return JSON.parse(core.find(query)); },
  formats() { return JSON.parse(core.formats()); },
  exportFile(format, scope, node) { return saved(core.exportFile(format, scope, node, progress)); },
  split(toggles, name) { return saved(core.split(toggles, name)); },
  merge(first, second, name) { return saved(core.merge(first, second, name)); },
  saveServiceBook(node, values, all) { return saved(core.saveServiceBook(node, values, all)); },
};

onmessage = async (event) => {
  await ready;
  const { id, op, args } = event.data;
  let result;
  try {
    result = ops[op](...args);
  } catch (error) {
    result = { error: String(error) };
  }
  const transfer = result && result.bytes ? [result.bytes.buffer] : [];
  postMessage({ id, result }, transfer);
};
