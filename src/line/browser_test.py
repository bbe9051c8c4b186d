#!/usr/bin/python3
"""The dashboard in headless Chromium over a line of the tests' own (tarvo_line_demo).

Each page loads without a console error and draws its charts with the records' numbers; the
printer search finds a printer and shows its journal's differences; a printer run through the
stations during the test appears on "Line now" within 2 s without a reload; a head ID holding
<script> shows as text. With TARVO_LINE_SCREENSHOTS=DIR, each page is saved there as PNG.
Exit 77 (skipped) when Chromium, its driver or Selenium is missing.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skip: python3-selenium is not installed")
    sys.exit(77)

CHROMIUM = "/usr/bin/chromium"
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
if not os.path.exists(CHROMIUM) or not os.path.exists(DRIVER):
    print("skip: chromium or chromium-driver is not installed")
    sys.exit(77)

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


demo = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
first = demo.stdout.readline().split(" ", 1)
if first[0] == "skip":
    print("skip:", first[1])
    sys.exit(77)
assert first[0] == "url", first
base = first[1].strip().rstrip("/")


def api(path):
    with urllib.request.urlopen(base + path) as r:
        return json.load(r)


profile = tempfile.mkdtemp(prefix="tarvo-chromium-")
options = webdriver.ChromeOptions()
options.binary_location = CHROMIUM
for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-dev-shm-usage", "--window-size=1280,800", "--user-data-dir=" + profile]:
    options.add_argument(flag)
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(service=Service(DRIVER), options=options)
shots = os.environ.get("TARVO_LINE_SCREENSHOTS")


def load(path, ready_css):
    driver.get(base + path)
    WebDriverWait(driver, 10).until(
        lambda d: d.find_elements(By.CSS_SELECTOR, ready_css)
        or d.find_element(By.ID, "problem").is_displayed())
    check(not driver.find_element(By.ID, "problem").is_displayed(),
          path + ": " + driver.find_element(By.ID, "problem").text)


def console_errors(path):
    errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
    check(not errors, path + " console errors: " + repr(errors))


def chart_data(canvas_id, dataset=0):
    return driver.execute_script(
        "const c = Chart.getChart(arguments[0]); return c ? c.data.datasets[arguments[1]].data : null",
        canvas_id, dataset)


def printer_links(css):
    # Read in one go: the live page replaces its cards while a test looks at them.
    return driver.execute_script(
        "return [...document.querySelectorAll(arguments[0])].map((a) => a.textContent)", css)


def shot(name):
    if shots:
        os.makedirs(shots, exist_ok=True)
        driver.save_screenshot(os.path.join(shots, name + ".png"))


try:
    # Line now: both stations of station-b and the one of station-x, whose head ID is markup.
    load("/", "#stations .card")
    cards = driver.find_elements(By.CSS_SELECTOR, "#stations .card")
    check(len(cards) == 3, "Line now shows %d stations" % len(cards))
    texts = printer_links("#stations a.printer")
    check("<script>alert(1)</script>" in texts, "the markup head ID shows as text: %r" % texts)
    try:
        driver.switch_to.alert
        check(False, "a head ID ran as a script")
    except NoAlertPresentException:
        pass
    console_errors("/")
    shot("now")

    # Live: a printer run through the stations appears without a reload.
    WebDriverWait(driver, 5).until(
        lambda d: d.find_element(By.ID, "live").text == "live")
    marker = driver.execute_script("window.notReloaded = 1; return 1")
    demo.stdin.write("run\n")
    demo.stdin.flush()
    check(demo.stdout.readline().strip() == "ran", "the station run ended")
    ran = time.monotonic()
    try:
        WebDriverWait(driver, 2, poll_frequency=0.05).until(
            lambda d: "HEAD05" in printer_links("#stations a.printer"))
        print("live: on the page %.2f s after the run's last record" % (time.monotonic() - ran))
    except Exception:
        check(False, "the new printer did not appear on Line now within 2 s: %r, %s, %r" % (
            printer_links("#stations a.printer"),
            driver.find_element(By.ID, "live").text, driver.get_log("browser")))
    check(driver.execute_script("return window.notReloaded") == marker, "the page was reloaded")

    # Yield: the chart's bars are the endpoint's numbers.
    load("/yield", "#yield-chart")
    y = api("/api/yield")
    periods = sorted({r["period"] for r in y["rows"]})
    passed = [sum(r["passed"] for r in y["rows"] if r["period"] == p) for p in periods]
    check(chart_data("yield-chart") == passed, "yield chart %r != %r" % (chart_data("yield-chart"), passed))
    check(sum(passed) >= 2, "yield shows the passed printers: %r" % passed)
    console_errors("/yield")
    shot("yield")

    # Failures: the Pareto, and a click down to the printers.
    load("/failures", "#pareto-chart")
    f = api("/api/failures")
    check(chart_data("pareto-chart") == [s["failures"] for s in f["slots"]], "pareto chart")
    check([s["slot"] for s in f["slots"]] == ["Nozzle Check", "TOF"], "pareto slots %r" % f["slots"])
    driver.find_element(By.CSS_SELECTOR, "#failures-table button.link").click()
    WebDriverWait(driver, 5).until(lambda d: d.find_elements(By.CSS_SELECTOR, "#failed-printers a.printer"))
    heads = {a.text for a in driver.find_elements(By.CSS_SELECTOR, "#failed-printers a.printer")}
    check(heads == {"HEAD03"}, "the printers that failed the nozzle check: %r" % heads)
    console_errors("/failures")
    shot("failures")

    # Adjustments and dot weight.
    load("/adjustments", "#histogram-chart")
    a = api("/api/adjustments")
    tof = [h["count"] for h in a["histogram"] if h["field"] == "tof"]
    check(chart_data("histogram-chart") == tof, "histogram %r != %r" % (chart_data("histogram-chart"), tof))
    check(chart_data("control-chart") is not None, "control chart drawn")
    dw = api("/api/dotweights")
    check(chart_data("dotweight-chart") == [m["average"] for m in dw["measurements"]], "dot weight chart")
    console_errors("/adjustments")
    shot("adjustments")

    # A printer: search, its steps and the field-by-field difference of its EEPROM writes.
    load("/printer", "#search")
    box = driver.find_element(By.ID, "search")
    box.send_keys("head02")
    driver.find_element(By.CSS_SELECTOR, "#search-form button").click()
    WebDriverWait(driver, 5).until(lambda d: d.find_elements(By.CSS_SELECTOR, "#journal .journal-entry"))
    entries = driver.find_elements(By.CSS_SELECTOR, "#journal .journal-entry")
    check(len(entries) == 2, "HEAD02 has two EEPROM writes: %d" % len(entries))
    changed = [td.text for td in entries[0].find_elements(By.CSS_SELECTOR, "td.changed")]
    check("HEAD02" in changed, "the head ID write shows the new head ID as changed: %r" % changed)
    check(len(driver.find_elements(By.CSS_SELECTOR, "#steps-table tbody tr")) >= 28, "HEAD02's steps")
    console_errors("/printer")
    shot("printer")

    # The markup head ID on the printer page, as text.
    load("/printer?q=%3Cscript%3Ealert(1)%3C%2Fscript%3E", "#printer-head")
    check(driver.find_element(By.ID, "printer-head").text == "<script>alert(1)</script>",
          "the printer page shows the markup head ID as text")
    console_errors("/printer?q=<script>")
finally:
    driver.quit()
    demo.stdin.close()
    demo.wait(timeout=30)
    shutil.rmtree(profile, ignore_errors=True)

if failures:
    print("%d failures" % len(failures))
    sys.exit(1)
print("browser test: ok")
