#!/usr/bin/python3
"""Draws the README's picture of the browser edition: the page opened from
disk in a headless Chromium after "Passo di 15 giorni" and "Calcola" at
latitude 45, as docs/web.png shows it.

usage: web-picture.py PAGE.html OUTPUT.png
"""
import pathlib
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
            "--window-size=793,569"):
    options.add_argument(arg)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    driver.get(pathlib.Path(sys.argv[1]).resolve().as_uri())
    WebDriverWait(driver, 20).until(
        lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
    driver.execute_script("""
        document.getElementById('Lat').value = '45';
        document.getElementById('Command2').click();
        document.getElementById('Calcola').click();""")
    size = driver.execute_script(
        "const r = document.getElementById('MainForm').getBoundingClientRect(); return [r.width, r.height];")
    driver.set_window_rect(width=int(size[0]), height=int(size[1]))
    inner = driver.execute_script("return [innerWidth, innerHeight]")
    driver.set_window_rect(width=2 * int(size[0]) - inner[0], height=2 * int(size[1]) - inner[1])
    driver.save_screenshot(sys.argv[2])
finally:
    driver.quit()
