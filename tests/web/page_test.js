// The browser page opened from disk in Chromium, held against the native command line:
//   node page_test.js SITE_DIR ORRELIN_CLI SAMPLE.ipd ARCHIVE.bbb OUT_DIR
// Exits 0 when every check holds, 1 with the failures listed; screenshots go to OUT_DIR.
"use strict";
const fs = require("fs");
const path = require("path");
const { execFileSync, spawnSync } = require("child_process");
const puppeteer = require("puppeteer-core");

const [site, cli, sample, archive, out] = process.argv.slice(2);
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

// The command line run beside the sample, so that the file is named as the page names it.
function run(args, cwd = path.dirname(sample)) {
  const r = spawnSync(cli, args, { cwd, env: { ...process.env, LANG: "C", LC_ALL: "C" } });
  return { code: r.status, out: r.stdout.toString("utf8"), err: r.stderr.toString("utf8") };
}
// A text as a line of the command line shows it, escapes undone.
const unescape = (t) => t.replace(/\\(x[0-9A-F]{2}|.)/g, (_, e) =>
  e[0] === "x" ? String.fromCharCode(parseInt(e.slice(1), 16)) : { n: "\n", r: "\r", t: "\t", "\\": "\\" }[e]);

async function waitStatus(page, test) {
  await page.waitForFunction((t) => new RegExp(t).test(document.getElementById("status").textContent),
                             { timeout: 60000 }, test);
  return page.$eval("#status", (e) => e.textContent);
}

// Clicks the n-th record of a database in the tree (expanding it first); its node id.
async function openRecord(page, database, n) {
  return page.evaluate(async (name, k) => {
    const db = [...document.querySelectorAll('[aria-level="2"]')]
      .find((e) => e.firstChild.textContent.replace(/ \(\d+\)$/, "") === name);
    if (db.getAttribute("aria-expanded") === "false") db.firstChild.click();
    let item;
    for (let i = 0; i < 200 && !(item = db.querySelectorAll('[aria-level="3"]')[k - 1]); i++)
      await new Promise((r) => setTimeout(r, 50));
    item.firstChild.click();
    return Number(item.dataset.id);
  }, database, n);
}

async function main() {
  let browser;
  try {
    browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true,
                                       args: ["--no-sandbox", "--disable-gpu"] });
  } catch (error) {
    console.log("test-web: skipped: Chromium cannot start: " + error.message.split("\n")[0]);
    return 0;
  }
  const page = await browser.newPage();
  const remote = [];
  page.on("request", (r) => { if (!/^(file|data|blob):/.test(r.url())) remote.push(r.url()); });
  page.on("console", (m) => { if (m.type() === "error") failures.push("console: " + m.text()); });
  page.on("pageerror", (e) => failures.push("page error: " + e.message));
  page.on("dialog", (d) => d.dismiss());
  const downloads = fs.mkdtempSync(path.join(out, "downloads-"));
  const cdp = await page.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  await page.setViewport({ width: 1280, height: 900 });
  await page.goto("file://" + path.resolve(site, "index.html"));
  await page.waitForSelector("#formats button");

  // Opening: the status line ends with the counts line `list` prints last.
  const list = run(["list", path.basename(sample)]).out.trimEnd().split("\n");
  await (await page.$("#file")).uploadFile(sample);
  const status = await waitStatus(page, "Records|records|SMS|Contacts|:");
  check(status.includes(list[list.length - 1]), `status "${status}" lacks "${list[list.length - 1]}"`);

  // The tree: the databases and their record labels as `list` gives them.
  const databases = list.filter((l) => /^\d+DBTop\t/.test(l)).map((l) => unescape(l.split("\t")[1]));
  const shown = await page.$$eval('[aria-level="2"] > .label', (n) => n.map((e) => e.textContent));
  check(JSON.stringify(shown.map((t) => t.replace(/ \(\d+\)$/, ""))) === JSON.stringify(databases),
        "tree databases " + JSON.stringify(shown));
  check((await page.$$('[role="tree"] [role="treeitem"]')).length > 0, "no tree items");

  // Keyboard: down to the first database, open it, down to its first record.
  await page.focus('[role="treeitem"]');
  for (const key of ["ArrowDown", "Enter", "ArrowDown"]) await page.keyboard.press(key);
  await page.waitForSelector("#pane .recordPane");

  // Three panes against `show`.
  for (const [database, n] of [["SMS Messages", 1], ["Address Book", 1], ["Memos", 1]]) {
    const shownRows = run(["show", path.basename(sample), "--database", database, "--record", String(n), "--tz", "GMT"]);
    if (shownRows.code !== 0) { check(false, `show ${database}: ${shownRows.err}`); continue; }
    const want = new Map(shownRows.out.trimEnd().split("\n").map((l) => l.split("\t"))
                          .map(([i, , v]) => [i, unescape(v || "")]));
    const ids = await openRecord(page, database, n);
    await page.waitForFunction((id) => {
      const s = document.querySelector('[aria-selected="true"]');
      const pane = document.querySelector("#pane .recordPane");
      return s && Number(s.dataset.id) === id && pane && pane.dataset.id === String(id);
    }, { timeout: 20000 }, ids);
    const got = await page.$$eval("#pane dd", (d) => d.map((e) => [e.dataset.slot, e.querySelector("input") ? e.querySelector("input").value : e.textContent]));
    for (const [slot, value] of got) {
      check(!want.has(slot) || want.get(slot) === value, `${database} ${n} slot ${slot}: "${value}" != "${want.get(slot)}"`);
    }
    check(got.length > 0, `${database} ${n}: empty pane`);
  }

  // Find, as `find` matches.
  const query = "555";
  const found = run(["find", path.basename(sample), query]).out.trimEnd().split("\n").filter((l) => l);
  await page.type("#find", query);
  await page.waitForSelector("#found h2", { timeout: 20000 });
  const matches = await page.$$eval("#found li", (l) => l.length);
  check(matches === found.length, `find: ${matches} matches, the command line ${found.length}`);

  // One export per format button, of everything, byte for byte.
  const name = path.basename(sample);
  await page.click('input[name="scope"][value="2"]');
  const buttons = await page.$$eval("#formats button", (b) => b.map((e) => [e.textContent, e.dataset.format]));
  for (const want of ["Text", "CSV", "vCard", "JSON", "Android SMS", "Android Calls", "HTML", "mbox"])
    check(buttons.some(([c]) => c === want), "no button " + want);
  // The names of two formats of one extension may fall in the same second: each download goes
  // into an emptied folder, so it never meets the one before.
  async function download(click) {
    for (const f of fs.readdirSync(downloads)) fs.rmSync(path.join(downloads, f));
    await click();
    for (let i = 0; i < 200; i++) {
      await new Promise((r) => setTimeout(r, 100));
      const file = fs.readdirSync(downloads).find((f) => !f.endsWith(".crdownload"));
      if (file) return file;
    }
    return null;
  }
  // A downloaded file against the one the command line writes with `args` and --output.
  function sameAsCli(what, file, args) {
    if (!file) return check(false, what + ": nothing downloaded");
    const target = path.join(downloads, "cli-" + file);
    const r = run([...args, "--output", target]);
    check(r.code === 0, what + ": command line failed " + r.err);
    // An iCalendar file's DTSTAMP is the second it was written, which the two exports need not share.
    const bytes = (f) => {
      const b = fs.readFileSync(f);
      return f.endsWith(".ics") ? Buffer.from(b.toString("latin1").replace(/^DTSTAMP:.*$/gm, "DTSTAMP:"), "latin1") : b;
    };
    check(r.code !== 0 || Buffer.compare(bytes(path.join(downloads, file)), bytes(target)) === 0,
          what + ": bytes differ from the command line's");
  }
  for (const [caption, format] of buttons.filter(([, f]) => f !== "vcard")) {
    const file = await download(() => page.click(`#formats button[data-format="${format}"]`));
    if (!file) { check(false, caption + ": nothing downloaded"); continue; }
    check(/^Orrelin_Export_\d{8}(_\d+)?\.\w+$/.test(file), caption + ": file name " + file);
    sameAsCli(caption, file, ["export", path.basename(sample), "--format", format, "--tz", "GMT"]);
  }
  // The vCard button writes the version chosen beside it, 3.0 until another is chosen.
  const versions = await page.$$eval("#vcardVersion option", (o) => o.map((e) => [e.text, e.selected]));
  check(JSON.stringify(versions) === JSON.stringify([["3.0", true], ["4.0", false]]), "vCard versions " + JSON.stringify(versions));
  for (const [version] of versions) {
    await page.$eval("#vcardVersion", (s, v) => {
      s.value = [...s.options].find((o) => o.text === v).value;
      s.dispatchEvent(new Event("change"));
    }, version);
    const file = await download(() => page.click('#formats button[data-format="vcard"]'));
    sameAsCli("vCard " + version, file, ["export", name, "--format", "vcard", "--vcard-version", version]);
  }

  // Split of a checked database, a merge with a database of a second file, and a service book
  // entry saved with one value changed: each the backup the command line writes.
  const pick = (label) => page.evaluate((l) => {
    const db = [...document.querySelectorAll('[aria-level="2"]')]
      .find((e) => e.firstChild.textContent.replace(/ \(\d+\)$/, "") === l);
    db.firstChild.click();
  }, label);
  await pick("Memos");
  await page.click("#check");
  sameAsCli("split", await download(() => page.click("#split")), ["split", name, "--database", "Memos"]);
  await (await page.$("#second")).uploadFile(sample);
  await page.waitForSelector("#secondDatabases input");
  await page.evaluate(() => {
    const tasks = [...document.querySelectorAll("#secondDatabases label")].find((l) => /Tasks/.test(l.textContent));
    tasks.querySelector("input").click();
  });
  sameAsCli("merge", await download(() => page.click("#merge")),
            ["merge", name, "--second", name, "--first", "Memos", "--from-second", "Tasks"]);
  await openRecord(page, "Service Book", 1);
  await page.waitForSelector('#pane input[data-slot="2"]');
  await page.$eval('#pane input[data-slot="2"]', (i) => { i.value = "Edited here"; });
  const entryOnly = await page.$$eval("#pane button", (b) => b.findIndex((e) => e.textContent === "Export Only This Entry"));
  sameAsCli("service book", await download(() => page.$$eval("#pane button", (b, k) => b[k].click(), entryOnly)),
            ["servicebook", name, "--record", "1", "--entry-only", "--set", "2=Edited here"]);

  // A refusal keeps the backup shown and says what the command line says.
  const junk = path.join(out, "not-a-backup.ipd");
  fs.writeFileSync(junk, "this is no backup at all\n");
  const refusal = run(["list", path.basename(junk)], out).err.replace(/^orrelin-cli: /, "").trim();
  await (await page.$("#file")).uploadFile(junk);
  const refused = await waitStatus(page, "not-a-backup");
  check(refused === refusal, `refusal "${refused}" != "${refusal}"`);
  check((await page.$eval('[aria-level="1"] > .label', (e) => e.textContent)) === path.basename(sample),
        "the backup shown was not kept on refusal");

  // The archive: opened like the command line, or refused with the reason this build gives.
  if (archive) {
    const r = run(["list", path.basename(archive)], path.dirname(archive));
    await (await page.$("#file")).uploadFile(archive);
    const said = await waitStatus(page, path.basename(archive).replace(/\./g, "\\."));
    const counts = r.out.trimEnd().split("\n").pop();
    check(said.includes(counts) || /cannot read \.bbb archives/.test(said), "archive: " + said);
  }

  await page.screenshot({ path: path.join(out, "page-desktop.png") });
  // At a phone's size (the page loads afresh): a backup open, a contact shown.
  await page.setViewport({ width: 390, height: 844, isMobile: true });
  await page.waitForSelector("#formats button");
  await (await page.$("#file")).uploadFile(sample);
  await waitStatus(page, list[list.length - 1].replace(/[()]/g, "\\$&"));
  await openRecord(page, "Address Book", 1);
  await page.waitForSelector("#pane .recordPane");
  const wide = await page.evaluate(() => document.documentElement.scrollWidth);
  check(wide <= 390, `the phone layout is ${wide} pixels wide`);
  await page.screenshot({ path: path.join(out, "page-phone.png"), fullPage: true });
  check(remote.length === 0, "requests left the page: " + remote.join(" "));
  await browser.close();
  for (const f of failures) console.log("FAIL: " + f);
  console.log(failures.length ? `test-web: ${failures.length} failures` : "test-web: all checks hold");
  return failures.length ? 1 : 0;
}
main().then((code) => process.exit(code), (e) => { console.log("test-web: " + e.stack); process.exit(1); });
