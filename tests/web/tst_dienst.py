#!/usr/bin/python3
"""The print service over real HTTP, end to end: the built program in a home of its own.
Every refusal, each printing nothing; one request one job, all or nothing; origins
allowed while it runs; slow and idle clients cut off without holding up others.
Usage: tst_dienst.py TARVEL"""
import http.client, json, socket, subprocess, sys, threading, time

from dienst import Checks, Dienst, barcodes

d = Dienst(sys.argv[1])
check = Checks()


KASSE = "http://127.0.0.1:8123"
label = {"etiketten": [{"art": "label", "felder": {"ArtikelNr": "WEB-1", "Preis1": "12,95"}},
                       {"art": "label", "felder": {"ArtikelNr": "WEB-2", "ISBN": 9783161484100}},
                       {"art": "adresse", "zeilen": ["Frau", "Erika Mustermann", "Heidestraße 17", "51147 Köln", ""],
                        "fettzeile": 1}]}
failing_second = {"etiketten": [{"art": "label", "felder": {"ArtikelNr": "GUT-1"}},
                                {"art": "label", "felder": {"ArtikelNr": "ÄÖÜ"}}]}
wrong = "Bearer " + "0" * 64

# name, method, path, body, headers, with token, status, fehler, etikett
refusals = [
    ("no token", "POST", "/v1/auftraege", label, {}, False, 401, 401, None),
    ("wrong token", "POST", "/v1/auftraege", label, {"Authorization": wrong}, False, 401, 401, None),
    ("foreign origin with token", "POST", "/v1/auftraege", label, {"Origin": "http://evil.example"}, True, 403, 403, None),
    ("foreign Host with token", "POST", "/v1/auftraege", label, {"Host": f"evil.example:{d.port}"}, True, 403, 403, None),
    ("malformed JSON", "POST", "/v1/auftraege", b'{"etiketten": [', {}, True, 400, 400, None),
    ("not UTF-8", "POST", "/v1/auftraege", b'{"etiketten": "\xff"}', {}, True, 400, 400, None),
    ("no labels", "POST", "/v1/auftraege", {"etiketten": []}, {}, True, 422, 5, None),
    ("1001 labels", "POST", "/v1/auftraege", {"etiketten": [{"art": "label"}] * 1001}, {}, True, 413, 413, None),
    ("unknown kind", "POST", "/v1/auftraege", {"etiketten": [{"art": "label"}, {"art": "plakat"}]}, {}, True, 422, 5, 1),
    ("unknown field", "POST", "/v1/auftraege", {"etiketten": [{"art": "label", "felder": {"Preis3": "1"}}]}, {}, True, 422, 5, 0),
    ("field of wrong type", "POST", "/v1/auftraege", {"etiketten": [{"art": "label", "felder": {"ISBN": [1]}}]}, {}, True, 422, 13, 0),
    ("seven lines", "POST", "/v1/auftraege", {"etiketten": [{"art": "adresse", "zeilen": ["a"] * 7}]}, {}, True, 422, 9, 0),
    ("start position too large", "POST", "/v1/auftraege", {"etiketten": [{"art": "laser", "startposition": 40000}]}, {}, True, 422, 6, 0),
    ("failing second label", "POST", "/v1/auftraege", failing_second, {}, True, 422, 9, 1),
    ("unknown printer", "POST", "/v1/auftraege", {"drucker": "Nirgends", "etiketten": [{"art": "label"}]}, {}, True, 404, 482, None),
    ("unknown path", "GET", "/v2/status", None, {}, True, 404, 404, None),
    ("unknown job", "GET", "/v1/auftraege/999", None, {}, True, 404, 404, None),
    ("wrong method", "DELETE", "/v1/auftraege", None, {}, True, 405, 405, None),
]
for name, method, path, body, headers, token, status, fehler, etikett in refusals:
    got, answer, _ = d.request(method, path, body, headers, token)
    check(name, (got, answer.get("fehler"), answer.get("etikett")) == (status, fehler, etikett) and answer["meldung"],
          f"{got} {answer}")
check("the refusals printed nothing", d.pdfs() == [], d.pdfs())

# A body over 1 MB is refused from its length, before it is read.
s = socket.create_connection(("127.0.0.1", d.port), timeout=10)
s.sendall(f"POST /v1/auftraege HTTP/1.1\r\nHost: {d.host}\r\nAuthorization: Bearer {d.token}\r\n"
          f"Content-Length: {1024 * 1024 + 1}\r\n\r\n".encode() + b"x" * 65536)
check("body over 1 MB", s.recv(4096).startswith(b"HTTP/1.1 413 "))
s.close()

# One request, one job: both labels in one PDF, in order.
status, answer, headers = d.request("POST", "/v1/auftraege", label)
check("printed", status == 201 and answer["etiketten"] == 3 and answer["ziel"] == d.pdfs()[0], f"{status} {answer}")
check("its barcodes", barcodes(answer["ziel"]) == ["WEB-1", "WEB-2"], barcodes(answer["ziel"]))
text = subprocess.run(["pdftotext", answer["ziel"], "-"], capture_output=True, text=True).stdout
check("its address label", "Erika Mustermann" in text and "51147 Köln" in text, text)
status, job, _ = d.request("GET", headers["Location"])
check("job state", status == 200 and job["zustand"] == "gedruckt" and job["ziel"] == answer["ziel"], job)

status, answer, _ = d.request("POST", "/v1/auftraege", {"etiketten": [{"art": "liste"}] * 1000})
check("1000 labels are one job", status == 201 and answer["etiketten"] == 1000, f"{status} {answer}")

# Clients at once on kept-alive connections: each job holds its own request's labels, in order.
jobs, errors = {}, []


def client(k):
    c = http.client.HTTPConnection("127.0.0.1", d.port, timeout=60)
    for i in range(5):
        numbers = [f"K{k}-{i}-{j}" for j in range(3)]
        c.request("POST", "/v1/auftraege", json.dumps({"etiketten": [{"art": "liste", "felder": {"ArtikelNr": n}}
                                                                      for n in numbers]}),
                  {"Authorization": f"Bearer {d.token}"})
        r = c.getresponse()
        answer = json.loads(r.read())
        if r.status != 201 or answer["ziel"] in jobs:
            errors.append(answer)
        jobs[answer.get("ziel")] = numbers


threads = [threading.Thread(target=client, args=(k,)) for k in range(4)]
for t in threads:
    t.start()
for t in threads:
    t.join()
read_back = {pdf: [w for w in subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout.split()
                   if w.startswith("K")] for pdf in jobs if pdf}
check("clients at once", not errors and len(jobs) == 20 and all(read_back[p] == jobs[p] for p in read_back),
      f"{errors} {read_back}")

# Origins allowed and withdrawn while the service runs.
for step, allowed in (("--erlaube", True), ("--verbiete", False)):
    d.command(step, KASSE + "/")
    status, answer, headers = d.request("POST", "/v1/auftraege", {"etiketten": [{"art": "label"}]}, {"Origin": KASSE})
    check(f"origin after {step}", (status == 201) == allowed
          and (headers.get("Access-Control-Allow-Origin") == KASSE) == allowed, f"{status} {headers}")
    status, _, headers = d.request("OPTIONS", "/v1/auftraege", None, {
        "Origin": KASSE, "Access-Control-Request-Method": "POST", "Access-Control-Request-Headers": "authorization,content-type",
        "Access-Control-Request-Private-Network": "true"}, token=False)
    check(f"preflight after {step}", (status == 204 and headers.get("Access-Control-Allow-Private-Network") == "true"
                                      and "Authorization" in headers.get("Access-Control-Allow-Headers", "")) == allowed,
          f"{status} {headers}")
check("allowed list", d.command("--erlaubt") == "", d.command("--erlaubt"))

# A slow client and an idle one hold up nobody, and are cut off after five seconds.
slow = socket.create_connection(("127.0.0.1", d.port), timeout=10)
slow.sendall(b"POST /v1/auftraege HTTP/1.1\r\nHost: " + d.host.encode())
idle = socket.create_connection(("::1", d.port), timeout=10)
started = time.monotonic()
status, answer, _ = d.request("GET", "/v1/status", host="::1")
check("served beside a slow client", status == 200 and time.monotonic() - started < 1.0, time.monotonic() - started)
check("the PDF printer takes every kind", answer["drucker"][0]["passend"][-1] == "adresse", answer["drucker"][0])
# It trickles a byte a second: the time still runs from its first byte.
slow.settimeout(1)
slow.sendall(b"\r\nX-Pad: ")
answer = b""
for _ in range(12):
    try:
        answer = slow.recv(4096)
        break
    except socket.timeout:
        slow.sendall(b"a")
check("slow client gets 408", answer.startswith(b"HTTP/1.1 408 ") and time.monotonic() - started < 6.5,
      f"{answer[:40]} {time.monotonic() - started}")
check("idle client closed", idle.recv(4096) == b"" and 4 < time.monotonic() - started < 8, time.monotonic() - started)

log = d.stop()
check("clean end on SIGTERM", d.proc.returncode == 0 and "beendet" in log, d.proc.returncode)
check("one log line a request", log.count("/v1/") >= len(refusals) + 5 and d.token not in log, log[-500:])
# A job for a CUPS queue names its CUPS job, and its state is CUPS's.
if subprocess.run(["lpstat", "-p", "PDF"], capture_output=True).returncode == 0:
    c = Dienst(sys.argv[1], cups=True)
    status, answer, headers = c.request("POST", "/v1/auftraege", {"drucker": "PDF", "etiketten": [{"art": "label"}]})
    check("to a queue", status == 201 and answer["ziel"] == f"PDF (Auftrag {answer.get('cupsAuftrag')})", answer)
    status, job, _ = c.request("GET", headers.get("Location", "/"))
    check("queue job state", status == 200 and 3 <= job.get("cupsZustand", 0) <= 9 and job["zustand"], job)
    c.stop()
else:
    print("CUPS-Warteschlange PDF fehlt: Auftrag an eine Warteschlange nicht geprüft")
check.finish()
