#!/usr/bin/python3
"""The page in headless Chromium, typed into and clicked as a user does.
Usage: browser_test.py SITE_DIR DEFAULT_BLOCK_TXT"""
import datetime
import functools
import http.server
import os
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

SITE, BLOCK = sys.argv[1], sys.argv[2]
KEYS = {"Tab": Keys.TAB, "Return": Keys.RETURN}
AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core", "axe.min.js")
PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True}
# Every page element a finger or the keyboard reaches, shown; and every text.
MEASURE = """
const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== "hidden";
const targets = [...document.querySelectorAll("input, button, textarea")].filter(shown);
const texts = [...document.querySelectorAll("body *")].filter((e) => shown(e) && (e.value
    || [...e.childNodes].some((n) => n.nodeType === Node.TEXT_NODE && n.textContent.trim())));
const controls = [...document.querySelectorAll(".control:not(.panel), dialog[open] button")].filter(shown);
const box = (e) => e.getBoundingClientRect();
const name = (e) => e.id || e.tagName;
const overlaps = [];
controls.forEach((a, i) => controls.slice(i + 1).forEach((b) => {
    const p = box(a), q = box(b);
    if (Math.min(p.right, q.right) - Math.max(p.left, q.left) > 0.5 && Math.min(p.bottom, q.bottom) - Math.max(p.top, q.top) > 0.5)
        overlaps.push(name(a) + "/" + name(b));
}));
const side = (e) => Math.min(box(e).width, box(e).height);
const smallest = targets.reduce((a, b) => (side(b) < side(a) ? b : a));
const font = (e) => parseFloat(getComputedStyle(e).fontSize);
const smallText = texts.reduce((a, b) => (font(b) < font(a) ? b : a));
return {target: [name(smallest), box(smallest).width, box(smallest).height], text: [name(smallText), font(smallText)],
        overlaps};
"""


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server:
    """The site on 127.0.0.1, which a scenario may stop."""

    def __init__(self):
        handler = functools.partial(QuietHandler, directory=SITE)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def browser(language):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 f"--lang={language}", f"--user-data-dir={tempfile.mkdtemp()}", "--window-size=800,700"]:
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"intl.accept_languages": language})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Page:
    def __init__(self, driver, server, phone):
        self.driver, self.server, self.url = driver, server, server.url
        if phone:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", PHONE)
            driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.load()

    def load(self):
        self.driver.get(self.url)
        WebDriverWait(self.driver, 10).until(lambda d: d.execute_script("return document.documentElement.dataset.ready"))

    def keys(self, *keys):
        for key in keys:
            self.driver.switch_to.active_element.send_keys(KEYS.get(key, key))

    def type(self, control, text):
        element = self.element(control)
        element.click()
        element.send_keys(Keys.CONTROL, "a")
        element.send_keys(text)

    def click(self, *controls):
        for control in controls:
            self.element(control).click()

    def tap(self, *controls):
        """A finger's tap on the middle of each control, scrolled to first."""
        for control in controls:
            x, y = self.driver.execute_script("""const e = document.getElementById(arguments[0]) || arguments[1];
                e.scrollIntoView({block: "center"}); const r = e.getBoundingClientRect();
                return [r.left + r.width / 2, r.top + r.height / 2];""", control, self.element_or_ok(control))
            for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
                self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def element_or_ok(self, control):
        return None if control != "OK" else self.driver.find_element(By.CSS_SELECTOR, "#message button")

    def measure(self):
        return self.driver.execute_script(MEASURE)

    def axe(self):
        """axe-core's violations of WCAG 2.0, 2.1 and 2.2 at A and AA."""
        with open(AXE, encoding="utf-8") as f:
            self.driver.execute_script(f.read())
        result = self.driver.execute_async_script("""axe.run({runOnly: {type: "tag", values:
            ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22a", "wcag22aa"]}}).then(arguments[0])""")
        return [f"{v['id']}: {', '.join(str(n['target']) for n in v['nodes'])}" for v in result["violations"]]

    def controls(self):
        """What every control shows: text or value, colour, size of text, shown, editable; and the focus."""
        return self.driver.execute_script("""return [...document.querySelectorAll(".control")].map((e) => [e.id,
            e.value !== undefined ? e.value : e.textContent, getComputedStyle(e).color, getComputedStyle(e).fontSize,
            e.hidden, e.readOnly]).concat([document.activeElement.id]);""")

    def element(self, control):
        return self.driver.find_element(By.ID, control)

    def message(self, then=None):
        """The open message's text, closed with Return on its focused OK (or by `then`)."""
        WebDriverWait(self.driver, 5).until(lambda d: d.find_element(By.ID, "message").get_attribute("open"))
        text = self.element("message-text").text
        assert self.driver.switch_to.active_element.text == "OK", "OK is not focused"
        if then:
            then()
        else:
            self.keys("Return")
        return text

    def shown(self, control):
        return self.element(control).is_displayed()

    def colour(self, control):
        return self.element(control).value_of_css_property("color")

    def clipboard(self):
        return self.driver.execute_async_script("navigator.clipboard.readText().then(arguments[0], () => arguments[0](null))")


RED, GREEN = "rgba(221, 0, 0, 1)", "rgba(0, 128, 0, 1)"


def golden_report():
    with open(BLOCK, encoding="utf-8") as f:
        block = "".join(line.rstrip("\n") + "\r\n" for line in f)
    return "Dados para Quorvane" + " " * 36 + datetime.date.today().strftime("%d/%m/%Y") + "\r\n" + block


def default_pass_and_sair(page):
    page.keys(*["Tab"] * 6, "Return", "Return", "Return")  # Aceita, Aceita, Calcula
    assert page.axe() == [], page.axe()
    page.keys("Tab", "Tab", "Return")  # Sair
    assert page.message() == " TEXTO COPIADO PARA O CLIPBOARD !"
    assert page.clipboard() == golden_report(), "the clipboard does not hold the report"
    assert page.shown("report") and page.shown("notice"), "the report and the notice are not shown after Sair"
    assert page.axe() == [], page.axe()


def phone_by_taps(page):
    page.tap("speakerAceita", "amplifierAceita", "calcula")
    for seen in ("after the default pass", "with Listar"):
        measured = page.measure()
        assert measured["target"][1] >= 44 and measured["target"][2] >= 44, f"{seen}: {measured['target']}"
        assert measured["text"][1] >= 16 and not measured["overlaps"], f"{seen}: {measured}"
        assert page.axe() == [], f"{seen}: {page.axe()}"
        print(f"  at 390 px {seen}: smallest target {measured['target']}, smallest text {measured['text']}")
        page.tap("listar")
    assert not page.shown("speakerPanel") and page.shown("report")
    page.tap("sair")
    measured = page.measure()
    assert min(measured["target"][1:]) >= 44 and measured["text"][1] >= 16, f"the message: {measured}"
    assert page.message(then=lambda: page.tap("OK")) == " TEXTO COPIADO PARA O CLIPBOARD !"
    assert page.clipboard() == golden_report(), "the clipboard does not hold the report"


def reload_goes_on(page):
    page.click("speakerAceita", "amplifierAceita", "calcula", "listar")  # the report shown, as a reload shows it
    before = page.controls()
    page.load()
    after = page.controls()
    assert after == before, f"the reload lost the session: {[(a, b) for a, b in zip(before, after) if a != b]}"
    page.click("voltar")
    assert page.element("limMillivolts").get_attribute("value") == "   345.769 mV"
    page.click("sair")
    assert page.message() == " TEXTO COPIADO PARA O CLIPBOARD !"
    assert page.clipboard() == golden_report(), "the clipboard does not hold the report"
    page.load()  # the session ended with Sair
    assert page.element("limMillivolts").get_attribute("value") == "" and page.shown("speakerPanel")
    assert page.driver.execute_script("return sessionStorage.length") == 0


def new_tab_and_altered_session(page):
    page.click("speakerAceita", "amplifierAceita", "calcula")
    page.driver.switch_to.new_window("tab")
    page.load()
    assert page.element("limMillivolts").get_attribute("value") == "", "a new tab did not start anew"
    page.click("speakerAceita", "amplifierAceita", "calcula")
    page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """window.failures = [];
        addEventListener("error", (e) => failures.push(e.message));
        addEventListener("unhandledrejection", (e) => failures.push(String(e.reason)));"""})
    page.driver.execute_script("""const s = sessionStorage;
        s.setItem("quorvane-session", s.getItem("quorvane-session").replace("345", "<img src=x onerror=window.hurt=1>"));""")
    page.load()
    assert page.element("limMillivolts").get_attribute("value") == "", "an altered session was taken up"
    assert page.driver.execute_script("""return [window.hurt, sessionStorage.getItem("quorvane-session"), failures,
        document.getElementById("report").value.split("\\n").length]""") == [None, None, [], 1]


def refused_value(page):
    page.type("speakerPmax", "a")
    assert page.message() == "Valor Incorreto !"
    assert page.colour("speakerPmax") == RED


def warning_recalcula_listar_voltar(page):
    # In a Brazilian browser the numbers carry a comma: the defaults "8.00" and
    # "0.775", written with a full stop, would be refused.
    for control, text in (("speakerZnom", "8"), ("amplifierVin", "0,775"), ("crestDb", "14")):
        page.type(control, text)
    page.click("speakerAceita", "amplifierAceita", "calcula")
    assert page.message() == "Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !"
    assert page.colour("crestDb") == RED and page.shown("amplifierAceita")
    assert page.element("limVolts").get_attribute("value") == "    0,869  V"
    page.click("recalcula")
    assert page.colour("speakerBrand") == GREEN and page.element("limVolts").get_attribute("value") == ""
    page.click("listar")
    assert page.shown("report") and not page.shown("speakerPanel") and page.shown("voltar")
    report = page.element("report").get_attribute("value")
    assert " Ajuste : 1  " in report and datetime.date.today().strftime("%d/%m/%Y\n") in report
    page.click("voltar")
    assert page.shown("speakerPanel") and not page.shown("report")


def sair_refused(page):
    page.click("sair")
    assert page.message() == "Não foi possível copiar o relatório para o clipboard."
    assert page.shown("speakerPanel") and not page.shown("notice"), "the page changed although nothing was copied"


def offline_reload(page):
    page.driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    page.server.stop()
    page.load()
    assert page.driver.execute_script("return navigator.serviceWorker.controller !== null"), "not served by the worker"
    page.click("speakerAceita", "amplifierAceita", "calcula")
    assert page.element("limMillivolts").get_attribute("value") == "   345.769 mV"


def no_webassembly(page):
    page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": "delete window.WebAssembly"})
    page.driver.refresh()
    WebDriverWait(page.driver, 10).until(lambda d: page.shown("notice"))
    assert page.element("notice").text.startswith("Não foi possível carregar o Quorvane")


# Each scenario: its browser language, whether the clipboard may be written,
# whether on a phone (390 x 844, touch) and what the user does.
SCENARIOS = [
    ("default pass from the keyboard, then Sair", "en-GB", True, False, default_pass_and_sair),
    ("a refused value", "en-GB", True, False, refused_value),
    ("the warning, Recalcula, Listar and Voltar", "pt-BR", True, False, warning_recalcula_listar_voltar),
    ("Sair with the clipboard refused", "en-GB", False, False, sair_refused),
    ("a reload with no network", "en-GB", True, False, offline_reload),
    ("a browser without WebAssembly", "en-GB", True, False, no_webassembly),
    ("the default pass by taps on a phone", "en-GB", True, True, phone_by_taps),
    ("a reload goes on, and after Sair starts anew", "en-GB", True, True, reload_goes_on),
    ("a new tab, and an altered session, start anew", "en-GB", True, False, new_tab_and_altered_session),
]


def main():
    failed = 0
    for name, language, clipboard, phone, scenario in SCENARIOS:
        server, driver = Server(), browser(language)
        try:
            setting = "granted" if clipboard else "denied"
            for permission in ("clipboard-read", "clipboard-write"):
                driver.execute_cdp_cmd("Browser.setPermission", {"permission": {"name": permission},
                                                                  "setting": setting, "origin": server.url[:-1]})
            scenario(Page(driver, server, phone))
            print(f"ok: {name}")
        except Exception as failure:  # noqa: BLE001 -- each scenario reports and the next runs
            failed += 1
            print(f"FAIL: {name}: {type(failure).__name__}: {failure}")
        finally:
            driver.quit()
            server.stop()
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
