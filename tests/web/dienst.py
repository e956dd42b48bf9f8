"""A "tarvel dienst" of its own for a test: a fresh home (settings, jobs folder),
no CUPS unless asked for, on a free port. Shared by the service's tests."""
import glob, http.client, json, os, re, subprocess, sys, tempfile, time


class Dienst:
    def __init__(self, tarvel, cups=False):
        self.tarvel = tarvel
        self.home = tempfile.mkdtemp()
        self.env = {"PATH": os.environ["PATH"], "HOME": self.home, "XDG_CONFIG_HOME": f"{self.home}/.config",
                    "XDG_RUNTIME_DIR": self.home, "LANG": "de_DE.UTF-8", "CUPS_SERVER": "/nonexistent"}
        if cups:  # the machine's scheduler (tests/cups/cupsd-ctl)
            del self.env["CUPS_SERVER"]
        # A sanitized build's settings (scripts/test-sanitized) reach the service too.
        self.env.update({k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")})
        self.jobs = f"{self.home}/Documents/Tarvel"
        self.proc = subprocess.Popen([tarvel, "dienst", "--port", "0"], env=self.env, stderr=subprocess.PIPE, text=True)
        line = self.proc.stderr.readline()
        m = re.search(r"bereit auf http://127\.0\.0\.1:(\d+)", line)
        assert m, line
        self.port = int(m.group(1))
        self.host = f"127.0.0.1:{self.port}"
        self.token = self.command("--token").strip()

    def command(self, *args):
        """Runs "tarvel dienst ARGS" in the same home; its output."""
        return subprocess.run([self.tarvel, "dienst", *args], env=self.env, capture_output=True, text=True,
                              check=True, timeout=30).stdout

    def request(self, method, path, body=None, headers=None, token=True, host="127.0.0.1"):
        """(status, JSON answer or None, headers) of one request on a new connection."""
        c = http.client.HTTPConnection(host, self.port, timeout=30)
        h = {"Authorization": f"Bearer {self.token}"} if token else {}
        h.update(headers or {})
        if isinstance(body, (dict, list)):
            body = json.dumps(body).encode()
        c.request(method, path, body, h)
        r = c.getresponse()
        data = r.read()
        c.close()
        return r.status, json.loads(data) if data else None, dict(r.getheaders())

    def pdfs(self):
        return sorted(glob.glob(f"{self.jobs}/*.pdf"))

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)
        return self.proc.stderr.read()


def barcodes(pdf):
    """The Code 128 barcodes of a PDF, page by page."""
    out = tempfile.mkdtemp()
    subprocess.run(["pdftoppm", "-r", "300", "-gray", pdf, f"{out}/p"], check=True)
    codes = []
    for page in sorted(glob.glob(f"{out}/p*.pgm")):
        r = subprocess.run(["zbarimg", "-q", "--raw", page], capture_output=True, text=True)
        codes += r.stdout.split()
    return codes


class Checks:
    """Counts checks and ends the test with the plain closing line."""
    def __init__(self):
        self.passed, self.failed = 0, 0

    def __call__(self, name, ok, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FEHLER: {name}: {detail}")

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed")
        sys.exit(1 if self.failed else 0)
