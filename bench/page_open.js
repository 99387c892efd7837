// The browser page opening a backup, against the native `orrelin-cli list` of the same file:
//   node page_open.js SITE_DIR ORRELIN_CLI FILE RUNS
// Times, per run, the page from the file chosen to the counts line in its status (reading the
// file, the worker's open and index, the tree laid out), the longest the page's own thread went
// without a frame meanwhile, the time to open its largest database in the tree, and the
// renderer's memory grown for the open and with that database laid out, then prints the medians
// beside the native list's median.
"use strict";
const fs = require("fs");
const path = require("path");
const { spawnSync } = require("child_process");
const puppeteer = require("puppeteer-core");

const [site, cli, file, runsText] = process.argv.slice(2);
const runs = Number(runsText || 3);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Resident memory of Chromium's renderer processes (the page and its worker), in bytes.
function rendererBytes() {
  let total = 0;
  for (const pid of fs.readdirSync("/proc").filter((p) => /^\d+$/.test(p))) {
    try {
      const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8");
      if (!cmd.includes("--type=renderer")) continue;
      const rss = /VmRSS:\s+(\d+) kB/.exec(fs.readFileSync(`/proc/${pid}/status`, "utf8"));
      if (rss) total += Number(rss[1]) * 1024;
    } catch (e) { /* gone meanwhile */ }
  }
  return total;
}

function nativeList() {
  const start = process.hrtime.bigint();
  const r = spawnSync(cli, ["list", file], { stdio: ["ignore", "ignore", "pipe"] });
  if (r.status !== 0) throw new Error("list failed: " + r.stderr);
  return Number(process.hrtime.bigint() - start) / 1e9;
}

async function pageOpen(browser, counts) {
  const page = await browser.newPage();
  await page.goto("file://" + path.resolve(site, "index.html"));
  await page.waitForSelector("#formats button");
  await page.evaluate((want) => {
    window.benchDone = new Promise((resolve) => {
      let last = 0;
      let gap = 0;
      let t0 = 0;
      const frame = (t) => { if (last) gap = Math.max(gap, t - last); last = t; requestAnimationFrame(frame); };
      document.getElementById("file").addEventListener("change", () => {
        t0 = performance.now();
        last = 0;
        gap = 0;
        requestAnimationFrame(frame);
      }, { capture: true });
      new MutationObserver(() => {
        if (t0 && document.getElementById("status").textContent.includes(want))
          resolve({ seconds: (performance.now() - t0) / 1000, gap: gap / 1000 });
      }).observe(document.getElementById("status"), { childList: true, characterData: true, subtree: true });
    });
  }, counts);
  const before = rendererBytes();
  let peak = before;
  const sampler = setInterval(() => { peak = Math.max(peak, rendererBytes()); }, 50);
  await (await page.$("#file")).uploadFile(file);
  const result = await page.evaluate(() => window.benchDone);
  result.grownOpen = Math.max(peak, rendererBytes()) - before;
  // Then the largest database opened in the tree: its records' labels asked of the worker and
  // laid out.
  result.expand = await page.evaluate(async () => {
    const dbs = [...document.querySelectorAll('[aria-level="2"]')];
    const count = (e) => Number(/\((\d+)\)$/.exec(e.firstChild.textContent)[1]);
    const db = dbs.reduce((a, b) => (count(b) > count(a) ? b : a));
    const t0 = performance.now();
    db.firstChild.click();
    while (db.querySelectorAll('[aria-level="3"]').length < count(db))
      await new Promise((r) => setTimeout(r, 5));
    await new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
    return { seconds: (performance.now() - t0) / 1000, records: count(db) };
  });
  clearInterval(sampler);
  peak = Math.max(peak, rendererBytes());
  await page.close();
  return { ...result, grown: peak - before };
}

async function main() {
  const list = spawnSync(cli, ["list", file], { maxBuffer: 1 << 30 }).stdout.toString("utf8").trimEnd().split("\n");
  const counts = list[list.length - 1];
  const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true,
                                           args: ["--no-sandbox", "--disable-gpu"] });
  const native = [];
  const page = [];
  for (let i = 0; i < runs; i++) {
    native.push(nativeList());
    page.push(await pageOpen(browser, counts));
  }
  await browser.close();
  const size = fs.statSync(file).size;
  const nativeS = median(native);
  const pageS = median(page.map((r) => r.seconds));
  const row = (name, value) => console.log(name.padEnd(28) + value);
  row("file", `${(size / 1e6).toFixed(1)} MB`);
  row("native list, median", `${nativeS.toFixed(3)} s`);
  row("page open to tree, median", `${pageS.toFixed(3)} s  (${(pageS / nativeS).toFixed(2)}x native list; goal 4x)`);
  row("largest database opened", `${median(page.map((r) => r.expand.seconds)).toFixed(3)} s  (${page[0].expand.records} records)`);
  row("longest frame gap, median", `${median(page.map((r) => r.gap)).toFixed(3)} s`);
  const memory = (key, goal) => {
    const grown = median(page.map((r) => r[key]));
    return `${(grown / 1e6).toFixed(0)} MB  (${(grown / size).toFixed(2)}x the file${goal})`;
  };
  row("renderer memory, open", memory("grownOpen", "; goal 3x"));
  row("  and the database opened", memory("grown", ""));
}
main().catch((e) => { console.error("page_open: " + e.stack); process.exit(1); });
