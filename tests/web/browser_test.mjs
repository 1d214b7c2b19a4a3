// The browser edition opened from disk in one engine, held against the native
// build of the same C++ (tests/web/expected.cpp) where a browser can go wrong:
// places, keys, texts, refusals, the copy, the printed page, requests, and
// axe-core's accessibility rules. One list of checks; each engine gets only a
// driver. usage: browser_test.mjs chromium|firefox|webkit PAGE.html EXPECTED
import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import { readFileSync, mkdtempSync, writeFileSync } from "node:fs";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { pathToFileURL } from "node:url";
import { createRequire } from "node:module";
import puppeteer from "puppeteer-core";

const [engine, pagePath, expectedProgram] = process.argv.slice(2);
const PAGE = pathToFileURL(pagePath).href;
const E = JSON.parse(execFileSync(expectedProgram, { maxBuffer: 1 << 26 }));
const AXE = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const MM_PER_POINT = 25.4 / 72;
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// What the page fetched, as it counts it itself; where the engine's driver
// sees requests (Chromium's does, also for files), those too.
const fetched = () => performance.getEntriesByType("resource").map((e) => e.name).concat(location.href);

// Chromium (DevTools protocol) and Firefox (WebDriver BiDi) through puppeteer.
async function puppeteerDriver(browser, executablePath) {
  const args = browser === "chrome" ? ["--no-sandbox", "--lang=en-US"] : [];
  const b = await puppeteer.launch({ browser, executablePath, headless: true, args });
  const page = (await b.pages())[0] ?? (await b.newPage());
  const urls = [];
  page.on("request", (r) => urls.push(r.url()));
  return {
    zooms: [1, 2],
    // Firefox's remote agent delivers Enter and Space to a focused button
    // without the press that follows from them for a person.
    keysPressButtons: browser === "chrome",
    goto: (url) => page.goto(url),
    run: (fn, ...a) => page.evaluate(fn, ...a),
    inject: (source) => page.evaluate(source),
    async keys(...presses) {
      for (const p of presses) {
        const [key, ...held] = p.split("+").reverse();
        for (const m of held) await page.keyboard.down(m);
        // Chromium's keys carry no editing command unless told.
        await page.keyboard.press(key, held.length && browser === "chrome" ? { commands: ["copy"] } : {});
        for (const m of held) await page.keyboard.up(m);
      }
    },
    click: (id) => page.click(`#${id}`),
    size: (width, height, deviceScaleFactor = 1) => page.setViewport({ width, height, deviceScaleFactor }),
    pdf: () => page.pdf({ preferCSSPageSize: true }),
    requests: async () => urls.concat(await page.evaluate(fetched)),
    close: () => b.close(),
  };
}

// WebKit (what every iPad and iPhone runs) through WebKitGTK's WebDriver and
// its MiniBrowser, on the display the test is given.
async function webkitDriver() {
  const port = await new Promise((done) => {
    const s = createServer().listen(0, "127.0.0.1", () => {
      const { port } = s.address();
      s.close(() => done(port));
    });
  });
  const driver = spawn("/usr/bin/WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  const call = async (method, path, body) => {
    const r = await fetch(`http://127.0.0.1:${port}${path}`, { method, body: body && JSON.stringify(body) });
    const { value } = await r.json();
    if (!r.ok) throw new Error(`WebDriver ${path}: ${value.message}`);
    return value;
  };
  for (let tries = 0; ; ++tries) {
    try {
      await call("GET", "/status");
      break;
    } catch (error) {
      if (tries > 100) throw error;
      await sleep(100);
    }
  }
  const binary = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
  const { sessionId } = await call("POST", "/session", { capabilities: { alwaysMatch: {
    "webkitgtk:browserOptions": { binary, args: ["--automation"] } } } });
  const s = `/session/${sessionId}`;
  const KEYS = { Tab: "\uE004", Enter: "\uE007", Shift: "\uE008", Control: "\uE009" };
  const execute = async (script, args) => {
    const v = await call("POST", `${s}/execute/async`, { script, args });
    if (v && "error" in v) throw new Error(v.error);
    return v?.ok;
  };
  const run = (fn, ...args) => execute(`const done = arguments[arguments.length - 1];
    Promise.resolve((${fn}).apply(null, Array.from(arguments).slice(0, -1)))
      .then((ok) => done({ ok }), (e) => done({ error: String(e) }));`, args);
  return {
    zooms: [1],
    keysPressButtons: true,
    goto: (url) => call("POST", `${s}/url`, { url }),
    run,
    inject: (source) => call("POST", `${s}/execute/sync`, { script: source, args: [] }),
    keys: (...presses) => call("POST", `${s}/actions`, { actions: [{ type: "key", id: "keys", actions:
      presses.flatMap((p) => {
        const keys = p.split("+").map((k) => KEYS[k] ?? k);
        return [...keys.map((value) => ({ type: "keyDown", value })),
                ...keys.reverse().map((value) => ({ type: "keyUp", value }))];
      }) }] }),
    async click(id) {
      const found = await call("POST", `${s}/element`, { using: "css selector", value: `#${id}` });
      await call("POST", `${s}/element/${Object.values(found)[0]}/click`, {});
    },
    size: (width, height) => call("POST", `${s}/window/rect`, { width, height }),
    // WebKitGTK's driver has no print command; the other two print the page.
    pdf: null,
    requests: () => run(fetched),
    async close() {
      await call("DELETE", s).catch(() => {});
      driver.kill();
    },
  };
}

const drivers = {
  chromium: () => puppeteerDriver("chrome", "/usr/bin/chromium"),
  firefox: () => puppeteerDriver("firefox", "/usr/bin/firefox-esr"),
  webkit: webkitDriver,
};
let tab;

async function until(probe, what, ms = 20000) {
  for (const end = Date.now() + ms; !(await probe());) {
    if (Date.now() > end) assert.fail(what);
    await sleep(50);
  }
}
async function open() {
  await tab.goto(PAGE);
  await until(() => tab.run(() => document.body.dataset.ready === "true"), "the page never became ready");
}
const active = () => tab.run(() => document.activeElement.id);
const cells = () => tab.run(() => Array.from(document.querySelectorAll("#MainForm input[readonly]"), (e) => e.value));
const type = (typed) => tab.run((t) => {
  for (const [id, text] of t) document.getElementById(id).value = text;
}, typed);
async function assertAccessible(when) {
  if (!(await tab.run(() => "axe" in window))) await tab.inject(AXE);
  const found = await tab.run(async () => (await window.axe.run(document)).violations.map(
    (v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
  assert.deepEqual(found, [], `axe-core ${when}`);
}

before(async () => {
  tab = await drivers[engine]();
  await tab.size(1100, 900);
  await open();
});
after(() => tab?.close());

test("controls at their places, with their kinds, names and whole captions", async () => {
  assert.equal(await tab.run(() => document.title), E.caption.trim().split(/\s+/).join(" "));
  assert.equal(await active(), "Calcola");
  const shown = await tab.run(() => {
    const origin = document.getElementById("MainForm").getBoundingClientRect();
    return Object.fromEntries(Array.from(document.querySelectorAll("#MainForm > *"), (e) => {
      const r = e.getBoundingClientRect();
      const kind = { INPUT: e.readOnly ? "cell" : "box", BUTTON: "button" }[e.tagName] ?? "label";
      const edges = [[r.width / 2, 0.5], [r.width / 2, r.height - 0.5], [0.5, r.height / 2], [r.width - 0.5, r.height / 2]];
      return [e.id, [kind, e.getAttribute("aria-label") ?? "", e.tagName === "INPUT" ? e.value : e.textContent,
                     edges.map(([x, y]) => document.elementFromPoint(r.left + x, r.top + y)?.id),
                     r.left - origin.left, r.top - origin.top, r.width, r.height]];
    }));
  });
  assert.deepEqual(Object.keys(shown).sort(), E.controls.map((c) => c.name).sort());
  const rank = Object.fromEntries(E.controls.map((c, i) => [c.name, i]));
  for (const c of E.controls) {
    const [kind, spoken, text, hits, ...place] = shown[c.name];
    assert.deepEqual([kind, spoken, text], [c.kind === "box" && !c.enabled ? "cell" : c.kind, c.spoken, c.text]);
    // Stacked as the window stacks them: at the middle of each edge a control
    // is seen itself, or one the window draws over it (later in its table).
    assert.ok(hits.every((id) => rank[id] >= rank[c.name]), `${c.name} under ${hits}`);
    const want = [c.left, c.top, c.width, c.height];
    assert.ok(place.every((v, i) => Math.abs(v - want[i]) <= 1), `${c.name} at ${place}, not ${want}`);
  }
  // The window's faces are the page's own, whatever the machine has.
  const loaded = await tab.run(() => Array.from(document.fonts, (f) => f.status === "loaded" && `${f.family} ${f.weight}`));
  for (const face of ["Solvara Narrow normal", "Solvara Sans bold", "Solvara Serif bold"])
    assert.ok(loaded.some((f) => f && f.replaceAll('"', "") === face), `${face} in ${loaded}`);
  await assertAccessible("when ready");

  // Every caption whole in its control, with the widest headings the presets
  // write shown, at each zoom the engine can be given.
  await tab.click("Command2");
  for (const zoom of tab.zooms) {
    await tab.size(1100, 900, zoom);
    const cut = await tab.run(() => Array.from(document.querySelectorAll("#MainForm > div, #MainForm > h1, #MainForm > button"))
      .filter((e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight + 1)
      .map((e) => `${e.id} ${e.textContent}`));
    assert.deepEqual(cut, [], `zoom ${zoom * 100} %`);
  }
  await tab.size(1100, 900);
});

test("Tab goes round the window's order; Enter and Space press a button", async () => {
  await open();
  const visited = [];
  for (const _ of E.tabOrder) {
    await tab.keys("Tab");
    visited.push(await active());
  }
  assert.deepEqual(visited, [...E.tabOrder.slice(1), E.tabOrder[0]]);
  for (const [button, key] of tab.keysPressButtons ? [["Command3", "Enter"], ["Azzera", " "]] : []) {
    await tab.run((id) => document.getElementById(id).focus(), button);
    const before = await tab.run(() => document.getElementById("dcl201a").value);
    await tab.keys(key);
    assert.notEqual(await tab.run(() => document.getElementById("dcl201a").value), before, `${button} by ${key}`);
  }
});

test("presses give the native texts; a refusal its dialog, then the box", async () => {
  await open();
  let refusals = 0;
  let computed = 0;
  for (const [number, press] of E.presses.entries()) {
    const before = await cells();
    await type(press.typed);
    await tab.click(press.button);
    if (press.message) {
      const dialog = await tab.run(() => {
        const d = document.getElementById("Messaggio");
        return [d.open, document.getElementById("MessaggioTitolo").textContent,
                document.getElementById("MessaggioTesto").textContent, d.querySelectorAll("button").length];
      });
      assert.deepEqual(dialog, [true, "Solvara", press.message, 1], `press ${number}`);
      if (refusals++ === 0) await assertAccessible("with the message open");
      await (tab.keysPressButtons ? tab.keys("Enter") : tab.click("MessaggioOK"));
      await until(async () => (await active()) === press.refusedBox, `press ${number}: focus not on ${press.refusedBox}`, 2000);
      assert.ok(await tab.run(() => {
        const b = document.activeElement;
        return b.selectionStart === 0 && b.selectionEnd === b.value.length;
      }), `press ${number}: the refused text selected`);
      assert.deepEqual(await cells(), before, `press ${number}`);
      continue;
    }
    const shown = await tab.run((texts, captions) => [texts.map(([id]) => document.getElementById(id).value),
      captions.map(([id]) => document.getElementById(id).textContent)], press.texts, press.captions);
    assert.deepEqual(shown, [press.texts.map(([, t]) => t), press.captions.map(([, t]) => t)],
                     `press ${number}: ${press.button}`);
    if (press.button === "Calcola" && computed++ === 0) await assertAccessible("after a computation");
  }
  assert.ok(refusals > 0 && computed > 0);
});

test("the copy and the printed page are the native ones; nothing is requested", async () => {
  // The table as the presses above leave it.
  await tab.run(() => {
    document.getElementById("Calcola").focus();
    document.addEventListener("copy", (e) => { window.copied = e.clipboardData.getData("text/plain"); });
  });
  await tab.keys("Control+c");
  assert.equal(await tab.run(() => window.copied), E.copy);

  if (tab.pdf) {
    const file = join(mkdtempSync(join(tmpdir(), "solvara-")), "page.pdf");
    writeFileSync(file, await tab.pdf());
    // Pages (level 1) and words (level 5), in millimetres from the sheet's
    // corner; a word's top is its face's ascent above its baseline, as the
    // page places it.
    const rows = execFileSync("pdftotext", ["-tsv", file, "-"], { encoding: "utf8" }).trim().split("\n").slice(1)
      .map((r) => r.split("\t")).map(([level, , , , , , x, y, w, h, , text]) =>
        ({ level, text, mm: [x, y, w, h].map((v) => v * MM_PER_POINT) }));
    const pages = rows.filter((r) => r.level === "1").map((r) => r.mm.slice(2));
    assert.equal(pages.length, 1);
    assert.ok(pages[0].every((v, i) => Math.abs(v - [210, 297][i]) <= 0.5), `the sheet ${pages[0]} mm`);
    const words = rows.filter((r) => r.level === "5");
    assert.ok(!words.some((w) => w.text === "Calcola"), "the window is not printed");
    for (const { text, x, y } of E.page.filter((t) => t.text.trim())) {
      const off = (w) => Math.abs(w.mm[0] - x) + Math.abs(w.mm[1] - y);
      const near = words.filter((w) => w.text === text.trim().split(/\s+/)[0]).sort((a, b) => off(a) - off(b))[0];
      assert.ok(near && Math.abs(near.mm[0] - x) <= 0.5 && Math.abs(near.mm[1] - y) <= 0.5,
                `"${text}" at ${near?.mm.slice(0, 2)} mm, not ${[x, y]}`);
    }
    assert.equal(words.length, E.page.flatMap((t) => t.text.split(/\s+/).filter(Boolean)).length);
  }

  const out = (await tab.requests()).filter((u) => !u.startsWith("data:"));
  assert.deepEqual([...new Set(out)], [PAGE]);
});

test("on a phone the window is seen whole", async () => {
  await tab.size(420, 800);
  await open();
  const [width, right, scaled] = await tab.run(() => {
    const r = document.getElementById("MainForm").getBoundingClientRect();
    return [document.documentElement.clientWidth, r.right, r.width];
  });
  assert.ok(right <= width + 0.5 && scaled > width * 0.95, `the window ${scaled} px wide, ending at ${right}, in ${width}`);
});
