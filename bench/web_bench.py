#!/usr/bin/python3
"""The browser edition's figures in a headless Chromium: the file's size, the
time from opening it to the window ready (built, focus on "Calcola"), and a
press of "Calcola" in the page (the C++ behind it and the 127 boxes and
headings written back). Reports; fails nothing.

usage: web_bench.py PAGE.html [RUNS]
"""
import pathlib
import statistics
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

page = pathlib.Path(sys.argv[1]).resolve()
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1000,800"):
    options.add_argument(arg)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    ready = []
    for _ in range(runs):
        driver.get(page.as_uri())
        WebDriverWait(driver, 20).until(
            lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
        ready.append(driver.execute_script(
            "return performance.getEntriesByName('solvara-ready')[0].startTime"))
    driver.execute_script("document.getElementById('Command2').click()")
    presses = driver.execute_script("""
        const button = document.getElementById('Calcola');
        const times = [];
        for (let run = 0; run < arguments[0]; ++run) {
          const start = performance.now();
          for (let i = 0; i < 100; ++i) button.click();
          times.push((performance.now() - start) * 10);  // microseconds a press
        }
        return times;""", runs)
finally:
    driver.quit()

print(f"browser edition: {page.stat().st_size / 1000:.1f} kB ({page.stat().st_size} bytes; target at most 400 kB)")
print(f"open to window ready: median {statistics.median(ready):.0f} ms over {runs} loads "
      f"(min {min(ready):.0f}, max {max(ready):.0f})")
print(f"a press of Calcola in the page: median {statistics.median(presses):.1f} us "
      f"(min {min(presses):.1f}, max {max(presses):.1f})")
