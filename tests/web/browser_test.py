#!/usr/bin/python3
"""The browser edition in a headless Chromium, opened from disk, held against
the native build of the same C++ (tests/web/expected.cpp) where only a browser
can go wrong. usage: browser_test.py PAGE.html EXPECTED_PROGRAM"""
import base64
import html
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

PAGE = pathlib.Path(sys.argv[1]).resolve()
if not PAGE.exists():
    sys.exit(f"{PAGE} missing: build it with scripts/web.sh")
EXPECTED = json.loads(subprocess.run([sys.argv[2]], check=True, capture_output=True).stdout)
MM_PER_POINT = 25.4 / 72
CELLS = "return Array.from(document.querySelectorAll('#MainForm input[readonly]'), e => e.value)"


def luminance(css):
    r, g, b = (int(v) / 255 for v in re.findall(r"\d+", css)[:3])
    lin = [c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4 for c in (r, g, b)]
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]


class BrowserEdition(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1000,800",
                    "--lang=en-US"):
            options.add_argument(arg)
        options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        cls.open_page()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    @classmethod
    def open_page(cls):
        cls.driver.get(PAGE.as_uri())
        WebDriverWait(cls.driver, 20).until(
            lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def active(self):
        return self.js("return document.activeElement.id")

    def test_1_controls_at_their_places_with_their_kinds_and_whole_captions(self):
        # A title's runs of blanks are shown as one.
        self.assertEqual(self.driver.title, " ".join(EXPECTED["caption"].split()))
        self.assertEqual(self.active(), "Calcola")
        shown = self.js("""
            const origin = document.getElementById('MainForm').getBoundingClientRect();
            return Array.from(document.querySelectorAll('#MainForm > *'), e => {
              const r = e.getBoundingClientRect();
              return {name: e.id, tag: e.tagName, readOnly: !!e.readOnly, spoken: e.getAttribute('aria-label') || '',
                      text: e.tagName === 'INPUT' ? e.value : e.textContent,
                      left: r.left - origin.left, top: r.top - origin.top, width: r.width, height: r.height};
            });""")
        tags = {"label": "DIV", "box": "INPUT", "button": "BUTTON"}
        self.assertEqual([s["name"] for s in shown], [c["name"] for c in EXPECTED["controls"]])
        for want, got in zip(EXPECTED["controls"], shown):
            with self.subTest(control=want["name"]):
                self.assertEqual(got["tag"], tags[want["kind"]])
                self.assertEqual(got["readOnly"], want["kind"] == "box" and not want["enabled"])
                self.assertEqual((got["spoken"], got["text"]), (want["spoken"], want["text"]))
                for side in ("left", "top", "width", "height"):
                    self.assertAlmostEqual(got[side], want[side], delta=1)

        # The window's faces are the page's own, whatever the machine has.
        loaded = self.js("return Array.from(document.fonts, f => f.status === 'loaded' && f.family + ' ' + f.weight)")
        for face in ("Solvara Narrow normal", "Solvara Sans bold", "Solvara Serif bold"):
            self.assertIn(face, loaded)
        hint = self.js("""const s = getComputedStyle(document.getElementById('Label15'));
            return [s.color, getComputedStyle(document.getElementById('MainForm')).backgroundColor];""")
        lighter, darker = sorted(map(luminance, hint), reverse=True)
        self.assertGreaterEqual((lighter + 0.05) / (darker + 0.05), 4.5)

        # Every caption whole in its control, with the widest headings the
        # presets write shown, at zoom 100 % and 200 %.
        self.driver.find_element("id", "Command2").click()
        for scale in (1, 2):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 1000, "height": 800, "deviceScaleFactor": scale, "mobile": False})
            cut = self.js("""return Array.from(document.querySelectorAll('#MainForm > div, #MainForm > button'))
                .filter(e => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight + 1)
                .map(e => e.id + ' ' + e.textContent);""")
            self.assertEqual(cut, [], f"zoom {scale * 100} %")
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_2_keyboard_order_and_keys(self):
        self.open_page()
        order = EXPECTED["tabOrder"]
        visited = []
        for _ in order:
            ActionChains(self.driver).send_keys(Keys.TAB).perform()
            visited.append(self.active())
        self.assertEqual(visited, order[1:] + order[:1])
        # Enter and Space press the focused button, as a click does.
        for button, key in (("Command3", Keys.ENTER), ("Azzera", Keys.SPACE)):
            self.js("document.getElementById(arguments[0]).focus()", button)
            before = self.js("return document.getElementById('dcl201a').value")
            ActionChains(self.driver).send_keys(key).perform()
            self.assertNotEqual(self.js("return document.getElementById('dcl201a').value"), before,
                                f"{button} by {key!r}")

    def test_3_presses_give_the_native_texts_and_refusals_their_dialog(self):
        self.open_page()
        refusals = 0
        for number, press in enumerate(EXPECTED["presses"]):
            cells = self.js(CELLS)
            self.js("for (const [id, text] of arguments[0]) document.getElementById(id).value = text;",
                    press["typed"])
            self.driver.find_element("id", press["button"]).click()
            if press["message"]:
                refusals += 1
                dialog = self.js("""const d = document.getElementById('Messaggio');
                    return [d.open, document.getElementById('MessaggioTitolo').textContent,
                            document.getElementById('MessaggioTesto').textContent, d.querySelectorAll('button').length];""")
                self.assertEqual(dialog, [True, "Solvara", press["message"], 1], f"press {number}")
                ActionChains(self.driver).send_keys(Keys.ENTER).perform()
                box = press["refusedBox"]
                WebDriverWait(self.driver, 2).until(lambda d: self.active() == box,
                                                    f"press {number}: focus not on {box}")
                self.assertTrue(self.js("""const b = document.activeElement;
                    return b.selectionStart === 0 && b.selectionEnd === b.value.length;"""))
                self.assertEqual(self.js(CELLS), cells, f"press {number}")
                continue
            shown = self.js("""return [arguments[0].map(([id]) => document.getElementById(id).value),
                arguments[1].map(([id]) => document.getElementById(id).textContent)];""",
                            press["texts"], press["captions"])
            self.assertEqual(shown, [[t for _, t in press[k]] for k in ("texts", "captions")],
                             f"press {number}: {press['button']}")
        self.assertGreater(refusals, 0)

    def test_4_copy_and_printed_page_at_its_millimetres_and_no_request_out(self):
        # The page after the same presses as above.
        self.open_page()
        for press in EXPECTED["presses"]:
            self.js("for (const [id, text] of arguments[0]) document.getElementById(id).value = text;",
                    press["typed"])
            self.driver.find_element("id", press["button"]).click()
            if press["message"]:
                self.js("document.getElementById('Messaggio').close()")
                WebDriverWait(self.driver, 2).until(lambda d: self.active() == press["refusedBox"])
        self.js("document.getElementById('Calcola').focus()")
        # Ctrl+C without a selection copies the table as the window shows it.
        self.driver.execute_cdp_cmd("Browser.grantPermissions", {"permissions": ["clipboardReadWrite"]})
        ActionChains(self.driver).key_down(Keys.CONTROL).send_keys("c").key_up(Keys.CONTROL).perform()
        self.assertEqual(self.driver.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0])"), EXPECTED["copy"])
        pdf = base64.b64decode(self.driver.execute_cdp_cmd(
            "Page.printToPDF", {"preferCSSPageSize": True, "printBackground": False})["data"])
        with tempfile.NamedTemporaryFile(suffix=".pdf") as file:
            file.write(pdf)
            file.flush()
            boxes = subprocess.run(["pdftotext", "-bbox", file.name, "-"], check=True,
                                   capture_output=True, text=True).stdout
        pages = re.findall(r'<page width="([\d.]+)" height="([\d.]+)"', boxes)
        self.assertEqual(len(pages), 1)
        self.assertAlmostEqual(float(pages[0][0]) * MM_PER_POINT, 210, delta=0.5)
        self.assertAlmostEqual(float(pages[0][1]) * MM_PER_POINT, 297, delta=0.5)
        words = [(float(x) * MM_PER_POINT, float(y) * MM_PER_POINT, html.unescape(w)) for x, y, w in re.findall(
            r'<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>', boxes)]
        self.assertNotIn("Calcola", [w for _, _, w in words])  # the window is not printed
        for text in EXPECTED["page"]:
            first = text["text"].split()[0] if text["text"].strip() else None
            if first is None:
                continue
            near = min(words, key=lambda w: (w[2] != first,
                                             abs(w[0] - text["x"]) + abs(w[1] - text["y"])))
            with self.subTest(text=text["text"]):
                self.assertEqual(near[2], first)
                # pdftotext puts a word's top at the face's ascent above its
                # baseline, as the page places it.
                self.assertAlmostEqual(near[0], text["x"], delta=0.5)
                self.assertAlmostEqual(near[1], text["y"], delta=0.5)
        self.assertEqual(len(words), sum(len(t["text"].split()) for t in EXPECTED["page"]))

        sent = [json.loads(entry["message"])["message"] for entry in self.driver.get_log("performance")]
        urls = {m["params"]["request"]["url"] for m in sent if m["method"] == "Network.requestWillBeSent"}
        self.assertTrue(urls, "no request seen at all: is the log on?")
        self.assertEqual({u for u in urls if not u.startswith("data:")}, {PAGE.as_uri()})

    def test_5_phone_sees_the_whole_window(self):
        self.driver.set_window_size(420, 800)  # the last test: the size stays
        self.open_page()
        width, right, scaled = self.js("""const r = document.getElementById('MainForm').getBoundingClientRect();
            return [document.documentElement.clientWidth, r.right, r.width];""")
        self.assertLessEqual(right, width + 0.5)
        self.assertGreater(scaled, width * 0.95)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
