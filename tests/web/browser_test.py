#!/usr/bin/python3
"""The page in headless Chromium, typed into and clicked as a user does.
Usage: browser_test.py SITE_DIR DEFAULT_BLOCK_TXT"""
import datetime
import functools
import http.server
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
    def __init__(self, driver, url):
        self.driver, self.url = driver, url
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

    def element(self, control):
        return self.driver.find_element(By.ID, control)

    def message(self):
        """The open message's text, closed with Return on its focused OK."""
        WebDriverWait(self.driver, 5).until(lambda d: d.find_element(By.ID, "message").get_attribute("open"))
        text = self.element("message-text").text
        assert self.driver.switch_to.active_element.text == "OK", "OK is not focused"
        self.keys("Return")
        return text

    def shown(self, control):
        return self.element(control).is_displayed()

    def colour(self, control):
        return self.element(control).value_of_css_property("color")

    def clipboard(self):
        return self.driver.execute_async_script("navigator.clipboard.readText().then(arguments[0], () => arguments[0](null))")


RED, GREEN = "rgba(255, 0, 0, 1)", "rgba(0, 128, 0, 1)"


def default_pass_and_sair(page):
    page.keys(*["Tab"] * 6, "Return", "Return", "Return", "Tab", "Tab", "Return")  # Aceita, Aceita, Calcula; Sair
    assert page.message() == " TEXTO COPIADO PARA O CLIPBOARD !"
    with open(BLOCK, encoding="utf-8") as f:
        block = "".join(line.rstrip("\n") + "\r\n" for line in f)
    title = "Dados para Quorvane" + " " * 36 + datetime.date.today().strftime("%d/%m/%Y") + "\r\n"
    assert page.clipboard() == title + block, "the clipboard does not hold the report"
    assert page.shown("Memo1") and page.shown("notice"), "the report and the notice are not shown after Sair"


def refused_value(page):
    page.type("LabeledEdit4", "a")
    assert page.message() == "Valor Incorreto !"
    assert page.colour("LabeledEdit4") == RED


def warning_recalcula_listar_voltar(page):
    # In a Brazilian browser the numbers carry a comma: the defaults "8.00" and
    # "0.775", written with a full stop, would be refused.
    for control, text in (("LabeledEdit3", "8"), ("LabeledEdit9", "0,775"), ("LabeledEdit12", "14")):
        page.type(control, text)
    page.click("Button1", "Button2", "Button3")
    assert page.message() == "Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !"
    assert page.colour("LabeledEdit12") == RED and page.shown("Button2")
    assert page.element("Edit1").get_attribute("value") == "    0,869  V"
    page.click("Button4")
    assert page.colour("LabeledEdit1") == GREEN and page.element("Edit1").get_attribute("value") == ""
    page.click("Button5")
    assert page.shown("Memo1") and not page.shown("GroupBox1") and page.shown("Button7")
    report = page.element("Memo1").get_attribute("value")
    assert " Ajuste : 1  " in report and datetime.date.today().strftime("%d/%m/%Y\n") in report
    page.click("Button7")
    assert page.shown("GroupBox1") and not page.shown("Memo1")


def sair_refused(page):
    page.click("Button6")
    assert page.message() == "Não foi possível copiar o relatório para o clipboard."
    assert page.shown("GroupBox1") and not page.shown("notice"), "the page changed although nothing was copied"


def offline_reload(page, server):
    page.driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    server.stop()
    page.load()
    assert page.driver.execute_script("return navigator.serviceWorker.controller !== null"), "not served by the worker"
    page.click("Button1", "Button2", "Button3")
    assert page.element("Edit2").get_attribute("value") == "   345.769 mV"


def no_webassembly(page):
    page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": "delete window.WebAssembly"})
    page.driver.refresh()
    WebDriverWait(page.driver, 10).until(lambda d: page.shown("notice"))
    assert page.element("notice").text.startswith("Não foi possível carregar o Quorvane")


# Each scenario: its browser language, whether the clipboard may be written,
# and what the user does.
SCENARIOS = [
    ("default pass from the keyboard, then Sair", "en-GB", True, default_pass_and_sair),
    ("a refused value", "en-GB", True, refused_value),
    ("the warning, Recalcula, Listar and Voltar", "pt-BR", True, warning_recalcula_listar_voltar),
    ("Sair with the clipboard refused", "en-GB", False, sair_refused),
    ("a reload with no network", "en-GB", True, offline_reload),
    ("a browser without WebAssembly", "en-GB", True, no_webassembly),
]


def main():
    failed = 0
    for name, language, clipboard, scenario in SCENARIOS:
        server, driver = Server(), browser(language)
        try:
            setting = "granted" if clipboard else "denied"
            for permission in ("clipboard-read", "clipboard-write"):
                driver.execute_cdp_cmd("Browser.setPermission", {"permission": {"name": permission},
                                                                  "setting": setting, "origin": server.url[:-1]})
            page = Page(driver, server.url)
            scenario(*((page, server) if scenario is offline_reload else (page,)))
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
