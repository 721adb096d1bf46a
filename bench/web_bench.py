#!/usr/bin/python3
"""The page's size, file by file gzip-compressed, against its budget, and its
time to interactive in headless Chromium: from navigation to the moment the
window's controls are built and take input, on a first visit (empty profile)
and on a later one (served by the service worker).
Usage: web_bench.py SITE_DIR"""
import functools
import gzip
import http.server
import os
import statistics
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

BUDGET = 300 * 1024
RUNS = 7
site = sys.argv[1]

total = 0
for name in sorted(os.listdir(site)):
    with open(os.path.join(site, name), "rb") as f:
        data = f.read()
    packed = len(gzip.compress(data, 9))
    total += packed
    print(f"{name:32} {len(data):8} B  {packed:8} B gzip")
print(f"{'all':32} {'':8}    {total:8} B gzip  (budget {BUDGET} B: {'within' if total <= BUDGET else 'OVER'})")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
threading.Thread(target=httpd.serve_forever, daemon=True).start()
url = f"http://127.0.0.1:{httpd.server_address[1]}/"


def interactive_ms(driver):
    driver.get(url)
    return float(WebDriverWait(driver, 10).until(
        lambda d: d.execute_script("return document.documentElement.dataset.ready")))


first, later = [], []
for _ in range(RUNS):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 f"--user-data-dir={tempfile.mkdtemp()}"]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        first.append(interactive_ms(driver))
        driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
        later.append(interactive_ms(driver))
    finally:
        driver.quit()
httpd.shutdown()
for label, times in (("first visit", first), ("later visit", later)):
    print(f"time to interactive, {label}: median {statistics.median(times):.0f} ms "
          f"(min {min(times):.0f}, max {max(times):.0f}, {RUNS} runs; aim at most 1000 ms)")
