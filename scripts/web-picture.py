#!/usr/bin/python3
"""Draws the README's pictures of the browser edition: the page opened from
disk in a headless Chromium after "Passo di 15 giorni" and "Calcola" at
latitude 45. Without a size, the window at its own size (docs/web.png); with
one, the page on a phone of that size, touch screen and all, whole from top
to bottom (docs/web-phone.png at 390x844).

usage: web-picture.py PAGE.html OUTPUT.png [WIDTHxHEIGHT]
"""
import base64
import pathlib
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

phone = [int(v) for v in sys.argv[3].split("x")] if len(sys.argv) > 3 else None
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars"):
    options.add_argument(arg)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    # The window's own size (793 x 569 px), where it is drawn at 1:1.
    width, height = phone or (793, 569)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": bool(phone)})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": bool(phone)})
    driver.get(pathlib.Path(sys.argv[1]).resolve().as_uri())
    WebDriverWait(driver, 20).until(
        lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
    driver.execute_script("""
        document.getElementById('Lat').value = '45';
        document.getElementById('Command2').click();
        document.getElementById('Calcola').click();
        document.activeElement.blur();""")
    whole = driver.execute_script("return document.documentElement.scrollHeight")
    shot = driver.execute_cdp_cmd("Page.captureScreenshot", {
        "captureBeyondViewport": True,
        "clip": {"x": 0, "y": 0, "width": width, "height": max(height, whole) if phone else height, "scale": 1}})
    pathlib.Path(sys.argv[2]).write_bytes(base64.b64decode(shot["data"]))
finally:
    driver.quit()
