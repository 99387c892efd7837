// The page: the tree, the panes, find, options, exports and the jobs on records, all asked of
// the worker that runs the core. Nothing leaves the page: files come from the user's disk and
// go back as downloads.
/* global ORRELIN_WORKER_SOURCE */
"use strict";
(() => {
  const $ = (id) => document.getElementById(id);
  const state = { worker: null, calls: new Map(), next: 1, file: null, second: null, tree: null,
                  selected: -1, checks: [], secondChecks: [], formats: [] };

  // ---- the worker ----------------------------------------------------------------------
  function startWorker() {
    const url = URL.createObjectURL(new Blob([ORRELIN_WORKER_SOURCE], { type: "text/javascript" }));
    state.worker = new Worker(url);
    state.worker.onmessage = (event) => {
      const data = event.data;
      if (data.progress) return showProgress(data.progress[0], data.progress[1]);
      const call = state.calls.get(data.id);
      state.calls.delete(data.id);
      if (state.calls.size === 0) busy(false);
      if (call) call(data.result);
    };
  }
  function ask(op, ...args) {
    return new Promise((resolve) => {
      const id = state.next++;
      state.calls.set(id, resolve);
      const transfer = args.filter((a) => a instanceof ArrayBuffer);
      state.worker.postMessage({ id, op, args }, transfer);
    });
  }
  function busy(on) {
    $("cancel").hidden = !on;
    $("progress").hidden = !on;
    if (on) $("progress").removeAttribute("value");
  }
  function showProgress(done, total) {
    busy(true);
    $("progress").max = total || 1;
    $("progress").value = done;
  }
  // A cancel ends the worker and starts another with the backup shown before.
  async function cancel() {
    state.worker.terminate();
    state.calls.clear();
    busy(false);
    startWorker();
    await sendOptions();
    if (state.file) await openBytes(0, state.file.name, await state.file.blob.arrayBuffer(), true);
    if (state.second) await openBytes(1, state.second.name, await state.second.blob.arrayBuffer(), true);
    status("Cancelled.");
  }

  // ---- options, kept in localStorage ---------------------------------------------------
  const optionIds = ["tz", "unicode", "codepage", "alldb", "raw"];
  function loadOptions() {
    const zones = [];
    for (let h = -11; h <= 11; h++) zones.push(h === 0 ? "GMT" : (h > 0 ? "+" : "") + h);
    for (const z of zones) $("tz").add(new Option(z, z));
    $("tz").value = "GMT";
    let kept = {};
    try { kept = JSON.parse(localStorage.getItem("orrelin.options") || "{}"); } catch (e) { kept = {}; }
    for (const id of optionIds) {
      if (!(id in kept)) continue;
      if ($(id).type === "checkbox") $(id).checked = !!kept[id]; else $(id).value = kept[id];
    }
  }
  function keepOptions() {
    const kept = {};
    for (const id of optionIds) kept[id] = $(id).type === "checkbox" ? $(id).checked : $(id).value;
    try { localStorage.setItem("orrelin.options", JSON.stringify(kept)); } catch (e) { /* private */ }
  }
  const sendOptions = () => ask("options", $("tz").value, $("unicode").checked, $("codepage").value,
                                $("alldb").checked);

  // ---- opening ---------------------------------------------------------------------------
  function status(text) { $("status").textContent = text; }
  async function openBytes(slot, name, bytes, quiet) {
    busy(true);
    // The bytes go to the worker (transferred, not copied); the page keeps only the File, which
    // it reads again when the backup must be opened afresh.
    const answer = await ask("open", slot, name, bytes, $("alldb").checked);
    if (!answer.ok) { if (!quiet) alert(answer.error); status(answer.error); return false; }
    if (slot === 0) {
      state.opened = answer;
      state.checks = [];
      state.selected = -1;
      await showTree();
      showStatus(answer.warnings);
    } else {
      state.secondChecks = [];
      await showSecondTree();
    }
    return true;
  }
  function showStatus(warnings) {
    const a = state.opened;
    const line = [a.name, a.counts].filter((t) => t).join("  ");
    status(line + (warnings && warnings.length ? " — " + warnings.join(" ") : ""));
  }
  async function openFile(slot, file) {
    if (await openBytes(slot, file.name, await file.arrayBuffer(), false)) {
      const kept = { name: file.name, blob: file };
      if (slot === 0) state.file = kept; else state.second = kept;
      if (slot === 1) $("checked").textContent = "Second file: " + file.name;
    }
  }

  // ---- the tree (an ARIA tree) ------------------------------------------------------------
  function item(id, text, image, level) {
    const li = document.createElement("li");
    li.setAttribute("role", "treeitem");
    li.setAttribute("aria-level", level);
    li.dataset.id = id;
    li.tabIndex = -1;
    // The direction is the label's own: set on the item, it would make every record added
    // under a database look its direction up again (quadratic in a large database).
    const span = document.createElement("span");
    span.dir = "auto";
    span.className = "label" + (image ? " icon-" + image : "");
    span.textContent = text;
    li.append(span);
    return li;
  }
  async function showTree() {
    const tree = await ask("tree", 0);
    state.tree = tree;
    const root = $("tree");
    root.textContent = "";
    const top = item(0, tree.root, "", 1);
    top.setAttribute("aria-expanded", "true");
    const group = document.createElement("ul");
    group.setAttribute("role", "group");
    for (const db of tree.databases || []) {
      const node = item(db.id, db.name + " (" + db.count + ")", "", 2);
      node.dataset.key = db.key;
      node.setAttribute("aria-expanded", "false");
      const list = document.createElement("ul");
      list.setAttribute("role", "group");
      list.hidden = true;
      node.append(list);
      group.append(node);
    }
    top.append(group);
    root.append(top);
    top.tabIndex = 0;
  }
  // Record items are asked of the worker and made when their database is first expanded.
  async function expand(node, open) {
    if (!node.hasAttribute("aria-expanded")) return;
    node.setAttribute("aria-expanded", open ? "true" : "false");
    const list = node.querySelector(":scope > ul");
    list.hidden = !open;
    if (open && !node.loading) {
      node.loading = ask("records", 0, Number(node.dataset.id)).then((records) => {
        const frag = document.createDocumentFragment();
        for (const [id, label, image] of records) frag.append(item(id, label, image, 3));
        list.append(frag);
      });
    }
    if (node.loading) await node.loading;
  }
  const visible = () => [...$("tree").querySelectorAll('[role="treeitem"]')].filter((n) => n.offsetParent !== null);
  function focusItem(node) {
    for (const n of $("tree").querySelectorAll('[tabindex="0"]')) n.tabIndex = -1;
    node.tabIndex = 0;
    node.focus();
  }
  async function select(node) {
    for (const n of $("tree").querySelectorAll('[aria-selected="true"]')) n.removeAttribute("aria-selected");
    node.setAttribute("aria-selected", "true");
    focusItem(node);
    state.selected = Number(node.dataset.id);
    const db = node.parentElement.closest('[aria-level="2"]');
    state.selectedDatabase = db ? Number(db.dataset.id) : -1;
    if (node.getAttribute("aria-level") === "3") await showRecord(state.selected);
    else $("pane").textContent = "";
  }
  // Keys are taken in order, each after the one before has done its work (a database's records
  // arrive from the worker), and act on the item focused by then.
  const treeKeyNames = ["ArrowDown", "ArrowUp", "ArrowRight", "ArrowLeft", "Home", "End", "Enter"];
  let keyQueue = Promise.resolve();
  function treeKeys(event) {
    if (!treeKeyNames.includes(event.key) || !event.target.closest('[role="treeitem"]')) return;
    event.preventDefault();
    keyQueue = keyQueue.then(() => treeKey(event.key)).catch(() => {});
  }
  async function treeKey(key) {
    const node = document.activeElement && document.activeElement.closest('[role="treeitem"]');
    if (!node) return;
    const all = visible();
    const at = all.indexOf(node);
    const open = node.getAttribute("aria-expanded");
    switch (key) {
      case "ArrowDown": if (at + 1 < all.length) await select(all[at + 1]); break;
      case "ArrowUp": if (at > 0) await select(all[at - 1]); break;
      case "ArrowRight": if (open === "false") await expand(node, true); else if (open === "true" && at + 1 < all.length) await select(all[at + 1]); break;
      case "ArrowLeft":
        if (open === "true") await expand(node, false);
        else { const up = node.parentElement.closest('[role="treeitem"]'); if (up) await select(up); }
        break;
      case "Home": await select(all[0]); break;
      case "End": await select(all[all.length - 1]); break;
      case "Enter": if (open !== null) await expand(node, open === "false"); else await select(node); break;
    }
  }

  // ---- the record's pane -------------------------------------------------------------------
  async function showRecord(id) {
    const rec = await ask("record", 0, id, $("raw").checked);
    const pane = $("pane");
    pane.textContent = "";
    if (!rec.ok) return;
    const box = document.createElement("section");
    box.className = "recordPane";
    box.id = rec.pane || "rawPane";
    box.dataset.id = id;
    const h = document.createElement("h2");
    h.textContent = rec.title;
    box.append(h);
    const rows = rec.rows || [];
    const tabs = [...new Set(rows.map((r) => r.tab))].filter((t) => t);
    const pages = new Map();
    if (tabs.length) {
      const bar = document.createElement("div");
      bar.setAttribute("role", "tablist");
      box.append(bar);
      tabs.forEach((t, i) => {
        const b = document.createElement("button");
        b.setAttribute("role", "tab");
        b.textContent = t;
        b.setAttribute("aria-selected", i === 0 ? "true" : "false");
        const page = document.createElement("dl");
        page.setAttribute("role", "tabpanel");
        page.hidden = i !== 0;
        b.onclick = () => {
          for (const x of bar.children) x.setAttribute("aria-selected", "false");
          b.setAttribute("aria-selected", "true");
          for (const p of pages.values()) p.hidden = true;
          page.hidden = false;
        };
        bar.append(b);
        box.append(page);
        pages.set(t, page);
      });
    } else {
      pages.set("", document.createElement("dl"));
      box.append(pages.get(""));
    }
    const editable = rec.pane === "serviceBookPane";
    for (const r of rows) {
      const dl = pages.get(r.tab) || pages.values().next().value;
      const dt = document.createElement("dt");
      dt.textContent = r.label;
      const dd = document.createElement("dd");
      dd.className = "value " + r.shape;
      dd.dataset.name = r.name;
      dd.dataset.slot = r.slot;
      dd.dir = "auto";
      if (editable) { const input = document.createElement("input"); input.value = r.value; input.dir = "auto"; input.dataset.slot = r.slot; input.setAttribute("aria-label", r.label || r.name); dd.append(input); } else dd.textContent = r.value;
      dl.append(dt, dd);
    }
    if (editable) {
      for (const [all, caption] of [[false, "Export Only This Entry"], [true, "Export All Service Books"]]) {
        const b = document.createElement("button");
        b.textContent = caption;
        b.onclick = () => saveServiceBook(id, box, all);
        box.append(b);
      }
    }
    if (rec.raw) box.append(rawTable(rec.raw));
    pane.append(box);
  }
  function rawTable(fields) {
    const table = document.createElement("table");
    table.id = "rawFields";
    const cap = table.createCaption();
    cap.textContent = "Raw Fields";
    const head = table.createTHead().insertRow();
    for (const t of ["Type", "Length", "Hex", "Text"]) head.insertCell().textContent = t;
    const body = table.createTBody();
    for (const f of fields) {
      const row = body.insertRow();
      for (const v of [f.type, f.length, f.hex, f.text]) row.insertCell().textContent = v;
    }
    return table;
  }

  // ---- find -------------------------------------------------------------------------------
  let findTimer = 0;
  function findLater() {
    clearTimeout(findTimer);
    findTimer = setTimeout(find, 250);
  }
  async function find() {
    const query = $("find").value;
    const box = $("found");
    box.textContent = "";
    box.hidden = !query;
    if (!query || !state.file) return;
    const matches = await ask("find", query);
    const h = document.createElement("h2");
    h.textContent = matches.length + (matches.length === 1 ? " record" : " records");
    box.append(h);
    const list = document.createElement("ol");
    for (const m of matches) {
      const li = document.createElement("li");
      li.dir = "auto";
      const b = document.createElement("button");
      b.textContent = m.database + " " + m.number + ": " + m.label + " (" + m.field + ")";
      b.dataset.id = m.id;
      b.onclick = () => reveal(m.id, m.databaseId);
      li.append(b);
      list.append(li);
    }
    box.append(list);
  }
  async function reveal(id, databaseId) {
    const db = $("tree").querySelector('[aria-level="2"][data-id="' + databaseId + '"]');
    if (db) await expand(db, true);
    const node = $("tree").querySelector('[data-id="' + id + '"]');
    if (node) { select(node); node.scrollIntoView({ block: "nearest" }); }
  }

  // ---- exports, split, merge, service book ---------------------------------------------------
  function download(file) {
    if (file.error) { alert(file.error); status(file.error); return; }
    const url = URL.createObjectURL(new Blob([file.bytes]));
    const a = document.createElement("a");
    a.href = url;
    a.download = file.name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    status(file.message.split("\n")[0]);
  }
  async function showFormats() {
    state.formats = await ask("formats");
    const box = $("formats");
    // The vCard button writes the version chosen beside it: 3.0 at first, the one most
    // importers take, then the one chosen last.
    const versions = document.createElement("select");
    versions.id = "vcardVersion";
    versions.title = "The vCard version the vCard button writes";
    versions.setAttribute("aria-label", "vCard version");
    state.formats.forEach((f, i) => {
      if (f.name === "vcard" && !f.missing) versions.add(new Option(f.version, String(i)));
    });
    [...versions.options].sort((a, b) => a.text.localeCompare(b.text)).forEach((o) => versions.add(o));
    let kept = null;
    try { kept = localStorage.getItem("orrelin.vcardVersion"); } catch (e) { kept = null; }
    const chosen = [...versions.options].find((o) => o.text === (kept || "3.0")) || versions.options[0];
    if (chosen) chosen.selected = true;
    versions.onchange = () => {
      try { localStorage.setItem("orrelin.vcardVersion", versions.selectedOptions[0].text); } catch (e) { /* private */ }
    };
    state.formats.forEach((f, i) => {
      if (f.row < 0 || f.missing) return;
      const b = document.createElement("button");
      b.textContent = f.caption === "Export to Text file" ? "Text" : f.caption === "Export to CSV file" ? "CSV" : f.caption;
      b.title = f.description;
      b.dataset.format = f.name;
      const vcard = f.name === "vcard" && versions.options.length > 1;
      b.onclick = async () => {
        const scope = Number(document.querySelector('input[name="scope"]:checked').value);
        busy(true);
        download(await ask("exportFile", vcard ? Number(versions.value) : i, scope, state.selected));
      };
      box.append(b);
      if (vcard) box.append(versions);
    });
  }
  // The second file of a merge: its databases to check, each taken whole.
  async function showSecondTree() {
    const tree = await ask("tree", 1);
    const box = $("secondDatabases");
    box.textContent = "";
    for (const db of tree.databases || []) {
      const label = document.createElement("label");
      label.dir = "auto";
      const check = document.createElement("input");
      check.type = "checkbox";
      check.dataset.id = db.id;
      check.onchange = () => {
        state.secondChecks = [...box.querySelectorAll("input:checked")].map((c) => Number(c.dataset.id));
      };
      label.append(check, " " + db.name + " (" + db.count + ")");
      box.append(label);
    }
    box.hidden = !tree.databases;
  }
  function toggleCheck() {
    if (state.selected < 0) return;
    const list = state.checks;
    list.push(state.selected);
    $("checked").textContent = list.length + " toggled";
  }
  async function saveServiceBook(id, box, all) {
    const values = [];
    for (const input of box.querySelectorAll("input[data-slot]")) values[Number(input.dataset.slot)] = input.value;
    for (let i = 0; i < 22; i++) if (values[i] === undefined) values[i] = "";
    download(await ask("saveServiceBook", id, values, all));
  }

  // ---- wiring -------------------------------------------------------------------------------
  window.addEventListener("DOMContentLoaded", async () => {
    loadOptions();
    startWorker();
    await sendOptions();
    await showFormats();
    await showTree();
    $("file").onchange = () => { if ($("file").files[0]) openFile(0, $("file").files[0]); };
    $("second").onchange = () => { if ($("second").files[0]) openFile(1, $("second").files[0]); };
    document.addEventListener("dragover", (e) => e.preventDefault());
    document.addEventListener("drop", (e) => {
      e.preventDefault();
      const file = e.dataTransfer.files[0];
      if (file) openFile(0, file);
    });
    $("tree").addEventListener("click", (e) => {
      const node = e.target.closest('[role="treeitem"]');
      if (!node) return;
      if (node.hasAttribute("aria-expanded") && e.target.closest(".label") === node.firstChild) expand(node, node.getAttribute("aria-expanded") === "false");
      select(node);
    });
    $("tree").addEventListener("keydown", treeKeys);
    $("find").addEventListener("input", findLater);
    $("cancel").onclick = cancel;
    $("check").onclick = toggleCheck;
    $("split").onclick = async () => download(await ask("split", state.checks, stem() + "_split.ipd"));
    $("merge").onclick = async () => download(await ask("merge", state.checks, state.secondChecks, stem() + "_merged.ipd"));
    for (const id of optionIds) {
      $(id).addEventListener("change", async () => {
        keepOptions();
        await sendOptions();
        if (id === "alldb" && state.file) await openBytes(0, state.file.name, await state.file.blob.arrayBuffer(), true);
        else if (state.file) { await showTree(); }
        if (state.selected >= 0 && id !== "alldb") reveal(state.selected, state.selectedDatabase);
      });
    }
  });
  const stem = () => (state.file ? state.file.name.replace(/\.[^.]*$/, "") : "backup");
})();
