#!/usr/bin/python3
"""The client examples against the built service: the JavaScript module under Node.js,
and the demo till page in headless Chromium (driven through chromedriver), served from
another origin that was allowed while the service ran. Their labels come out as PDFs
and their barcodes decode.
Usage: tst_web_kasse.py TARVEL EXAMPLES_WEB_DIR"""
import http.client, json, os, socket, subprocess, sys, tempfile, time

from dienst import Checks, Dienst, barcodes

tarvel, examples = sys.argv[1], sys.argv[2]
d = Dienst(tarvel)
check = Checks()
procs = []


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            time.sleep(0.1)
    return False


def start(*args):
    p = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=d.env)
    procs.append(p)
    return p


def new_label(before, seconds=15):
    """The barcodes of the one PDF that appeared since \a before."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        new = [p for p in d.pdfs() if p not in before]
        if new:
            return [c for pdf in new for c in barcodes(pdf)]
        time.sleep(0.1)
    return []


class WebDriver:
    """The few WebDriver commands the test needs, over chromedriver's HTTP."""

    def __init__(self, port, profile):
        self.port = port
        args = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                f"--user-data-dir={profile}"]
        caps = {"capabilities": {"alwaysMatch": {"browserName": "chrome", "goog:chromeOptions": {
            "binary": "/usr/bin/chromium", "args": args}}}}
        self.session = self.call("POST", "/session", caps)["sessionId"]

    def call(self, method, path, body=None):
        c = http.client.HTTPConnection("127.0.0.1", self.port, timeout=60)
        c.request(method, path, json.dumps(body) if body is not None else None, {"Content-Type": "application/json"})
        answer = json.loads(c.getresponse().read())["value"]
        c.close()
        if isinstance(answer, dict) and "error" in answer:
            raise RuntimeError(f"{path}: {answer['error']}: {answer.get('message', '')[:300]}")
        return answer

    def s(self, method, path, body=None):
        return self.call(method, f"/session/{self.session}{path}", body)

    def element(self, css):
        found = self.s("POST", "/element", {"using": "css selector", "value": css})
        return next(iter(found.values()))

    def type(self, css, text, clear=True):
        e = self.element(css)
        if clear:
            self.s("POST", f"/element/{e}/clear", {})
        self.s("POST", f"/element/{e}/value", {"text": text})

    def text_when(self, css, predicate, seconds=15):
        end = time.monotonic() + seconds
        text = ""
        while time.monotonic() < end:
            text = self.s("GET", f"/element/{self.element(css)}/text")
            if predicate(text):
                break
            time.sleep(0.1)
        return text


try:
    page_port = free_port()
    origin = f"http://127.0.0.1:{page_port}"
    start(sys.executable, "-m", "http.server", "--bind", "127.0.0.1", "--directory", examples, str(page_port))
    check("page server", wait_port(page_port))
    d.command("--erlaube", origin)  # while the service runs

    # The module under Node.js: a client with no Origin, only the token.
    before = d.pdfs()
    node = subprocess.run(["node", f"{examples}/etikett-drucken.mjs", "NODE-4711"], capture_output=True, text=True,
                          env={**d.env, "TARVEL_DIENST": f"http://127.0.0.1:{d.port}", "TARVEL_TOKEN": d.token}, timeout=60)
    check("node example", node.returncode == 0 and "Auftrag" in node.stdout, node.stdout + node.stderr)
    check("node label decodes", new_label(before) == ["NODE-4711"])

    driver_port = free_port()
    start("/usr/bin/chromedriver", f"--port={driver_port}")
    check("chromedriver", wait_port(driver_port))
    browser = WebDriver(driver_port, tempfile.mkdtemp())
    try:
        def open_till(page_origin):
            """The demo till served from page_origin, set up for this service and its token."""
            browser.s("POST", "/url", {"url": f"{page_origin}/kasse.html"})
            browser.type("#dienst", f"http://127.0.0.1:{d.port}")
            browser.type("#schluessel", d.token)

        open_till(origin)
        # A misread scan prints nothing.
        before = d.pdfs()
        browser.type("#isbn", "978-3-16-148410-1\n")
        text = browser.text_when("#meldung", lambda t: t != "")
        check("wrong check digit refused", "Prüfziffer" in text and d.pdfs() == before, text)
        # A scan: the digits and Enter.
        browser.type("#isbn", "978-3-16-148410-0")
        browser.type("#preis", "12,95")
        browser.type("#isbn", "\n", clear=False)
        text = browser.text_when("#meldung", lambda t: t.startswith("Gedruckt"))
        check("page prints", text.startswith("Gedruckt: 9783161484100"), text)
        check("page label decodes", new_label(before) == ["9783161484100"])
        # The same page from an origin that was not allowed: refused, nothing printed.
        open_till(f"http://localhost:{page_port}")
        before = d.pdfs()
        browser.type("#isbn", "3-16-148410-X\n")
        text = browser.text_when("#meldung", lambda t: t != "")
        check("foreign origin refused in the browser", "nicht erreichbar" in text and d.pdfs() == before, text)
    finally:
        browser.s("DELETE", "")
finally:
    log = d.stop()
    for p in procs:
        p.terminate()
        p.wait(timeout=10)
check("origin refused in the log", f"403 0." in log or " 403 " in log, log[-800:])
check.finish()
