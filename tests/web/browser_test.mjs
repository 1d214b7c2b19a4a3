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
import { dirname, join } from "node:path";
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

const freePort = () => new Promise((done) => {
  const s = createServer().listen(0, "127.0.0.1", () => {
    const { port } = s.address();
    s.close(() => done(port));
  });
});

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
    async keys(key) { // "Tab", "Enter", " " or "Control+c"
      const [pressed, held] = key.split("+").reverse();
      if (held) await page.keyboard.down(held);
      // Chromium's keys carry no editing command unless told.
      await page.keyboard.press(pressed, held && browser === "chrome" ? { commands: ["copy"] } : {});
      if (held) await page.keyboard.up(held);
    },
    click: (id) => page.click(`#${id}`),
    // A touch screen where the engine can be told (Chromium).
    size: (width, height, deviceScaleFactor = 1, touch = false) => page.setViewport({ width, height, deviceScaleFactor,
      ...(browser === "chrome" && { isMobile: touch, hasTouch: touch }) }),
    pdf: () => page.pdf({ preferCSSPageSize: true }),
    cdp: async (method, params) => (await page.createCDPSession()).send(method, params),
    offline: (on) => page.setOfflineMode(on),
    requests: async () => urls.concat(await page.evaluate(fetched)),
    close: () => b.close(),
  };
}

// WebKit (what every iPad and iPhone runs) through WebKitGTK's WebDriver and
// its MiniBrowser, on the display the test is given.
async function webkitDriver() {
  const port = await freePort();
  const driver = spawn("/usr/bin/WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  const call = async (method, path, body) => {
    const r = await fetch(`http://127.0.0.1:${port}${path}`, { method, body: body && JSON.stringify(body) });
    const { value } = await r.json();
    if (!r.ok) throw new Error(`WebDriver ${path}: ${value.message}`);
    return value;
  };
  await until(() => call("GET", "/status").then(() => true, () => false), "WebKitWebDriver never answered", 10000);
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
    keys: (key) => {
      const keys = key.split("+").map((k) => KEYS[k] ?? k);
      return call("POST", `${s}/actions`, { actions: [{ type: "key", id: "keys", actions: [
        ...keys.map((value) => ({ type: "keyDown", value })), ...keys.reverse().map((value) => ({ type: "keyUp", value }))] }] });
    },
    click: (id) => call("POST", `${s}/element`, { using: "css selector", value: `#${id}` })
      .then((found) => call("POST", `${s}/element/${Object.values(found)[0]}/click`, {})),
    size: (width, height) => call("POST", `${s}/window/rect`, { width, height }),
    // WebKitGTK's driver has no print command; the other two print the page.
    pdf: null,
    requests: () => run(fetched),
    close: () => call("DELETE", s).catch(() => {}).then(() => driver.kill()),
  };
}

const drivers = {
  chromium: () => puppeteerDriver("chrome", "/usr/bin/chromium"),
  firefox: () => puppeteerDriver("firefox", "/usr/bin/firefox-esr"),
  webkit: webkitDriver,
};
let tab;

async function until(probe, what, ms = 20000) { // probe: a promise of true when done
  for (const end = Date.now() + ms; !(await probe());) {
    if (Date.now() > end) assert.fail(what);
    await sleep(50);
  }
}
async function open(url = PAGE) {
  await tab.goto(url);
  await until(() => tab.run(() => document.body.dataset.ready === "true"), "the page never became ready");
}
const active = () => tab.run(() => document.activeElement.id);
async function tabs(count) { // the controls Tab reaches, one after the other
  const visited = [];
  while (visited.length < count) visited.push(await tab.keys("Tab").then(active));
  return visited;
}
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
  // Places as the desktop has them, at the scale the window is drawn.
  const shown = await tab.run(() => {
    const origin = document.getElementById("MainForm").getBoundingClientRect();
    const scale = origin.width / document.getElementById("MainForm").offsetWidth;
    return Object.fromEntries(Array.from(document.querySelectorAll("#MainForm > *"), (e) => {
      const r = e.getBoundingClientRect();
      const kind = { INPUT: e.readOnly ? "cell" : "box", BUTTON: "button" }[e.tagName] ?? "label";
      const edges = [[r.width / 2, 0.5], [r.width / 2, r.height - 0.5], [0.5, r.height / 2], [r.width - 0.5, r.height / 2]];
      return [e.id, [kind, e.getAttribute("aria-label") ?? "", e.tagName === "INPUT" ? e.value : e.textContent,
                     edges.map(([x, y]) => document.elementFromPoint(r.left + x, r.top + y)?.id),
                     ...[r.left - origin.left, r.top - origin.top, r.width, r.height].map((v) => v / scale)]];
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
  assert.deepEqual(await tabs(E.tabOrder.length), [...E.tabOrder.slice(1), E.tabOrder[0]]);
  for (const [button, key] of tab.keysPressButtons ? [["Command3", "Enter"], ["Azzera", " "]] : []) {
    await tab.run((id) => document.getElementById(id).focus(), button);
    const before = await tab.run(() => document.getElementById("dcl201a").value);
    await tab.keys(key);
    assert.notEqual(await tab.run(() => document.getElementById("dcl201a").value), before, `${button} by ${key}`);
  }
});

// One press of E's, its texts or its refusal checked: the message, inside
// the viewport, then the focus back on the refused box with its text
// selected and the table as it was.
async function press(p, number) {
  const before = await cells();
  await type(p.typed);
  await tab.click(p.button);
  if (!p.message) {
    const shown = await tab.run((texts, captions) => [texts.map(([id]) => document.getElementById(id).value),
      captions.map(([id]) => document.getElementById(id).textContent)], p.texts, p.captions);
    return assert.deepEqual(shown, [p.texts.map(([, t]) => t), p.captions.map(([, t]) => t)], `press ${number}: ${p.button}`);
  }
  const dialog = await tab.run(() => {
    const d = document.getElementById("Messaggio");
    const r = d.getBoundingClientRect();
    return [d.open, document.getElementById("MessaggioTitolo").textContent, document.getElementById("MessaggioTesto").textContent,
            d.querySelectorAll("button").length, r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight];
  });
  assert.deepEqual(dialog, [true, "Solvara", p.message, 1, true], `press ${number}`);
  if (number === refusing) await assertAccessible("with the message open");
  await (tab.keysPressButtons ? tab.keys("Enter") : tab.click("MessaggioOK"));
  await until(async () => (await active()) === p.refusedBox, `press ${number}: focus not on ${p.refusedBox}`, 2000);
  assert.ok(await tab.run(() => {
    const b = document.activeElement;
    return b.selectionStart === 0 && b.selectionEnd === b.value.length;
  }), `press ${number}: the refused text selected`);
  assert.deepEqual(await cells(), before, `press ${number}`);
}
const refusing = E.presses.findIndex((p) => p.message);
const computing = E.presses.findIndex((p) => !p.message && p.button === "Calcola");

test("presses give the native texts; a refusal its dialog, then the box", async () => {
  await open();
  for (const [number, p] of E.presses.entries()) {
    await press(p, number);
    if (number === computing) await assertAccessible("after a computation");
  }
  assert.ok(refusing >= 0 && computing >= 0);
});

test("4 MB pasted in a box is refused with its message, and the page goes on", async () => {
  await tab.run(() => {
    const latitude = document.getElementById("Lat");
    latitude.value = "°".repeat(2 << 20); // 4 MB in UTF-8
    latitude.dispatchEvent(new Event("input"));
  });
  await tab.click("Calcola");
  assert.ok(await tab.run(() => document.getElementById("Messaggio").open
    && document.getElementById("MessaggioTesto").textContent.startsWith("La latitudine «°°°")), "no message");
  await tab.click("MessaggioOK");
  await press(E.presses.at(-1), E.presses.length - 1);
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
    const misplaced = E.page.filter(({ text, x, y }) => text.trim() && !words.some((w) =>
      w.text === text.trim().split(/\s+/)[0] && Math.abs(w.mm[0] - x) <= 0.5 && Math.abs(w.mm[1] - y) <= 0.5));
    assert.deepEqual(misplaced, [], "texts not found within 0.5 mm of their places");
    // Nothing else on the sheet (the window is not printed).
    assert.equal(words.length, E.page.flatMap((t) => t.text.split(/\s+/).filter(Boolean)).length);
  }

  // From the cells' menu, with a declination typed and not yet computed:
  // the table as the boxes show it now.
  await tab.run(() => {
    document.getElementById("dcl201a").value = "7,5";
    const cell = document.getElementById("x23").getBoundingClientRect();
    document.getElementById("x23").dispatchEvent(new MouseEvent("contextmenu", { bubbles: true, clientX: cell.x, clientY: cell.y }));
  });
  await tab.click("CopiaTabella");
  const declinations = E.copy.split("\n").find((line) => line.startsWith("δ°")).split("\t");
  declinations[2] = "7,5";
  const copied = await tab.run(() => window.copied);
  assert.ok(copied.split("\n").includes(declinations.join("\t")), `the typed declination not in ${copied}`);

  const out = (await tab.requests()).filter((u) => !u.startsWith("data:"));
  assert.deepEqual([...new Set(out)], [PAGE]);
});

// What a finger and an eye need, measured on screen: no text under 12 px,
// (16 px in a typed box of the narrow layout, which a phone would zoom
// into), no box or button under 24 px a side, and no sideways scrolling.
const fitsHand = () => {
  const narrow = document.body.classList.contains("narrow");
  const shown = Array.from(document.querySelectorAll("#MainForm > *"), (e) => [e, e.getBoundingClientRect()])
    .filter(([e, r]) => r.width && (e.value || e.textContent).trim());
  const form = document.getElementById("MainForm");
  const scale = form.getBoundingClientRect().width / form.offsetWidth;
  const small = shown.filter(([e]) => parseFloat(getComputedStyle(e).fontSize) * scale
    < (narrow && e.matches("input:not([readonly])") ? 16 : 12) - 0.01).map(([e]) => e.id);
  const stops = shown.filter(([e]) => e.matches("input:not([readonly]), button"));
  const tiny = stops.filter(([, r]) => Math.min(r.width, r.height) < 24).map(([e]) => e.id);
  const window = form.getBoundingClientRect();
  return { narrow, small, tiny, stops: stops.map(([e, r]) => [e.id, r.top, r.left]),
           sideways: document.documentElement.scrollWidth - document.documentElement.clientWidth,
           window: [window.left, window.top, window.width], room: [document.documentElement.clientWidth, innerHeight] };
};

test("on a phone, a tablet and a large screen: read, reached and used by hand", async () => {
  const sizes = [[390, 844, true], [768, 1024, true], [1024, 768, false], [320, 640, true], [1920, 1080, false]];
  for (const [width, height, narrow] of sizes) {
    const at = `${width} × ${height}`;
    await tab.size(width, height, 1, width < 1920);
    await open();
    const seen = await tab.run(fitsHand);
    assert.deepEqual([seen.narrow, seen.small, seen.tiny, seen.sideways], [narrow, [], [], 0], at);
    if (!narrow) {
      // The window centred, as large as the room lets it, twice its size at most.
      const [left, top, wide] = seen.window;
      const [roomWidth, roomHeight] = seen.room;
      const scale = Math.min(2, roomWidth / E.width, roomHeight / E.height);
      assert.ok([wide - scale * E.width, 2 * left + wide - roomWidth, 2 * top + scale * E.height - roomHeight]
        .every((off) => Math.abs(off) <= 2), `${at}: the window at ${seen.window} in ${seen.room}`);
      continue;
    }
    // Tab follows what is seen: down the rows, left to right in each.
    await tab.run((first) => document.getElementById(first).focus(), seen.stops[0][0]);
    const visited = [seen.stops[0][0], ...await tabs(seen.stops.length - 1)];
    const place = Object.fromEntries(seen.stops.map(([id, top, left]) => [id, [top, left]]));
    const inReadingOrder = visited.every((id, i) => i === 0 || place[id][0] > place[visited[i - 1]][0] + 1
      || (Math.abs(place[id][0] - place[visited[i - 1]][0]) <= 1 && place[id][1] > place[visited[i - 1]][1]));
    assert.ok(inReadingOrder && new Set(visited).size === seen.stops.length, `${at}: Tab visits ${visited}`);
    for (let number = 0; number <= Math.max(computing, refusing); ++number) await press(E.presses[number], number);
  }
});

test("the site installs, and after the first visit opens and computes offline",
     { skip: engine !== "chromium" && "Chromium's driver tells installability and cuts the network" }, async () => {
  const port = await freePort();
  const url = `http://127.0.0.1:${port}/`;
  const server = spawn("/usr/bin/python3", ["-m", "http.server", "--bind", "127.0.0.1", "--directory",
                                            join(dirname(pagePath), "site"), `${port}`], { stdio: "ignore" });
  try {
    await until(() => fetch(url).then((r) => r.ok, () => false), "the site's server never answered");
    await tab.size(390, 844, 1, true);
    await open(url);
    assert.deepEqual((await tab.cdp("Page.getInstallabilityErrors")).installabilityErrors, []);
    await until(() => tab.run(() => Promise.race([navigator.serviceWorker.ready.then(() => true),
                                                  new Promise((done) => setTimeout(done, 100, false))])),
                "no service worker took the site", 5000);
    await open(url);
    assert.ok(await tab.run(() => navigator.serviceWorker.controller !== null), "no service worker controls the page");
    server.kill();
    await tab.offline(true);
    await open(url);
    for (let number = 0; number <= computing; ++number) await press(E.presses[number], number);
  } finally {
    server.kill();
    await tab.offline(false);
  }
});
