#!/usr/bin/env bash
# The label printers shops own, each set up with Debian's own CUPS driver and no orientation:
# ZPL, DYMO LabelWriter 450 and 4XL, Brother QL-570 on socket listeners that keep the bytes,
# and an IPP Everywhere printer (ippeveprinter, the queue as `lpadmin -m everywhere` makes
# it). For each queue `tarvel drucken --art label`, DruckeLabel and DruckeAbholschein either
# print, each label decoded from the printer's own bytes: the raster the driver makes for
# the media, every bar and space whole dots (4 at 300 dpi, 3 at 203 dpi), every barcode read
# by zbar and by zxing, its quiet zone on the label (on its right: the layouts place their bars
# at the label's left); or they are refused before anything
# reaches CUPS, the message naming both sizes in millimetres. At the end the print service
# for web tills must name, in "passend" of /v1/status, exactly the queues' label kinds that printed.
# Usage: tst_label_printer.sh BUILD_DIR [NAME]   (NAME: that row only; exit 77: no CUPS here, skipped);
# TARVEL_KEEP_JOBS=FOLDER keeps the labels as images for a look.
set -uo pipefail
build=$1 only=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/private-bus.sh"
"$here/cupsd-ctl" start >/dev/null 2>&1 || { echo "kein CUPS"; exit 77; }
work=$(mktemp -d)
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port) ipp_port=$(free_port)
"$here/etiketten" empfangen "$port" "$work/socket" &
listener=$!
queues=() printed=()
trap 'kill $listener; "$here/ipp-etiketten" stop "$work/ipp"; for q in "${queues[@]}"; do "$here/cupsd-ctl" entfernen "$q"; done
      [ -n "${bus_dir:-}" ] && stop_private_bus; rm -rf "$work"' EXIT
fail() { echo "FEHLER: $*"; echo "0 passed, 1 failed"; exit 1; }
"$here/ipp-etiketten" start "$ipp_port" "$work/ipp" || fail "kein IPP-Everywhere-Drucker"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config LANG=de_DE.UTF-8

# name: model (options) | raster in dots (the DYMO driver leaves white bytes off a line's end:
# its width is what the label's widest line needs) | module | --art label, DruckeLabel, DruckeAbholschein
rows="zpl300    zebra  PageSize=w288h144,Resolution=300dpi | 1200x600 4 | druckt druckt abgelehnt
zpl203    zebra  PageSize=w288h144,Resolution=203dpi | 812x406 3 | druckt druckt abgelehnt
zplklein  zebra  PageSize=w162h90,Resolution=203dpi  | 457x254 3 | abgelehnt abgelehnt abgelehnt
dymo89    lw450  PageSize=w102h252                   | *x1045 4 | druckt abgelehnt abgelehnt
dymo54    lw450  PageSize=w72h154                    | - 4 | abgelehnt abgelehnt abgelehnt
dymo30336 lw450  PageSize=w72h154.1                  | - 4 | abgelehnt abgelehnt abgelehnt
dymo4xl   lw4xl  PageSize=w296h452                   | *x1883 4 | druckt druckt druckt
ql29      ql570  PageSize=62x29mm,MediaType=Labels   | - 4 | abgelehnt abgelehnt abgelehnt
ql62      ql570  PageSize=62x100mm                   | 720x* 4 | druckt druckt abgelehnt
ipp       ipp    -                                   | 812x406 3 | druckt druckt abgelehnt"
declare -A models=([zebra]=drv:///sample.drv/zebra.ppd [lw450]=dymo:0/cups/model/lw450.ppd
  [lw4xl]=dymo:0/cups/model/lw4xl.ppd [ql570]=ptouch:0/ppd/ptouch-driver/Brother-QL-570-ptouch-ql.ppd)

# received RASTER MODULE CODE...: the labels the printer got, one for each CODE, in order.
received() {
  local raster=$1 module=$2 want="${*:3}" got="" label folder=$work/socket
  shift 2
  [ "$queue_model" = ipp ] && folder=$work/ipp
  # The job, once its file has stopped growing (at most a minute).
  local last=-1 now
  for _ in $(seq 1 120); do
    now=$(cat "$folder"/*.bin "$folder"/*.urf "$folder"/*.pwg 2>/dev/null | wc -c)
    [ "$now" -gt 0 ] && [ "$now" = "$last" ] && break
    last=$now
    sleep 0.5
  done
  "$here/etiketten" bilder "$folder" 2>/dev/null
  for label in $(ls -v "$folder"/etikett-*.pbm 2>/dev/null); do
    read -r size m whole left right <<<"$("$here/etiketten" messen "$label")"
    echo "  $(basename "$label"): $size Punkte, Modul $m Punkte, $whole, Rand $left/$right"
    [[ $size == $raster ]] && [ "$m $whole" = "$module ganz" ] || fail "$label: $size, Modul $m $whole statt $raster, $module ganz"
    [ "$right" -ge $((10 * module)) ] || fail "$label: Ruhezone rechts $right Punkte"
    local zbar zxing
    zbar=$(zbarimg -q --raw "$label" 2>/dev/null) zxing=$("$build/tests/barcodes_lesen" "$label")
    [ "$zbar" = "$zxing" ] || fail "$label: zbar liest '$zbar', zxing '$zxing'"
    got+="$zbar "
    [ -n "${TARVEL_KEEP_JOBS:-}" ] && cp "$label" "$TARVEL_KEEP_JOBS/$queue-$(basename "$label")"
  done
  [ "$got" = "$want " ] || fail "$queue: Barcodes '$got' statt '$want'"
  rm -f "$folder"/*
}

jobs() { lpstat -W all -o "$queue" 2>/dev/null | wc -l; }

# refused TEXT: the refusal names the label's and the media's size, and CUPS got no job.
refused() {
  [[ $1 == *" mm"*" mm"* ]] || [[ $1 == *"PageSize="* ]] || fail "$queue: Ablehnung ohne Größen: $1"
  [ "$(jobs)" = "$before" ] || fail "$queue: CUPS hat einen Auftrag trotz Ablehnung"
}

call() { gdbus call --session --dest Tarvel.Application --object-path "${path:-/Tarvel}" "$@" 2>&1; }
set_field() { call --method org.freedesktop.DBus.Properties.Set Tarvel.Application "$1" "<'$2'>" >/dev/null; }

while IFS='|' read -r setup raster expect; do
  read -r name queue_model options <<<"$setup"
  read -r art label slip <<<"$expect"
  read -r pattern module <<<"$raster"
  [ -n "$only" ] && [ "$name" != "$only" ] && continue
  queue=Etiketten-$name-$$
  queues+=("$queue")
  echo "$queue ($queue_model $options): $art, $label, $slip"
  printed+=("$queue $label $slip")
  if [ "$queue_model" = ipp ]; then
    lpadmin -p "$queue" -v "ipp://localhost:$ipp_port/ipp/print" -m everywhere -E 2>/dev/null || fail "Warteschlange $queue"
  else
    opts=()
    IFS=, read -ra kv <<<"$options"
    for o in "${kv[@]}"; do opts+=(-o "$o"); done
    lpadmin -p "$queue" -v "socket://127.0.0.1:$port" -m "${models[$queue_model]}" "${opts[@]}" -E 2>/dev/null \
      || fail "Warteschlange $queue"
  fi

  before=$(jobs)
  out=$("$build/src/tarvel" drucken --art label --drucker "$queue" "$here/../data/artikel/zwei.txt" 2>&1)
  status=$?
  if [ "$art" = druckt ]; then
    [ $status -eq 0 ] && [[ $out == "$queue (Auftrag "* ]] || fail "tarvel drucken: $status $out"
    received "$pattern" "$module" B-0001 B-0002
  else
    [ $status -eq 1 ] || fail "tarvel drucken: $status statt 1: $out"
    refused "$out"
  fi

  BUS_PRINTER=$queue start_private_bus "$build" || fail "kein Bus"
  path=
  path=$(call --method Tarvel.Server.CreateObject Tarvel.Application \
    | sed -E "s/^\(objectpath '([^']+)',\)$/\1/")
  for f in "ArtikelNr ETI-4711" "Preis1 12,95" "Preis2 14,95" "MatchCode KAFFEE" "WarenGruppe 12" "ISBN 978-3-16-148410-0" \
    "VorgangsNr V-1001" "Name1 Erika Mustermann" "Strasse Hauptstr. 1" "PLZ 12345" "Ort Musterstadt"; do
    set_field ${f%% *} "${f#* }"
  done
  want=()
  for m in "DruckeLabel $label ETI-4711" "DruckeAbholschein $slip V-1001"; do
    read -r method expected code <<<"$m"
    before=$(jobs)
    out=$(call --method Tarvel.Application.$method)
    if [ "$expected" = druckt ]; then
      [[ $out == "()" ]] || fail "$method: $out"
      want+=("$code")
    else
      [[ $out == *"Laufzeitfehler 482"* ]] || fail "$method nicht abgelehnt: $out"
      refused "$out"
    fi
  done
  call --method Tarvel.Application.Release >/dev/null || fail "Release"
  stop_private_bus
  bus_dir=
  [ ${#want[@]} -gt 0 ] && received "$pattern" "$module" "${want[@]}"
done <<<"$rows"

python3 - "$build/src/tarvel" "$here/../web" "${printed[@]}" <<'EOF' || fail "passend in /v1/status"
import sys
sys.path.insert(0, sys.argv[2])
from dienst import Dienst
dienst = Dienst(sys.argv[1], cups=True)
status, answer, _ = dienst.request("GET", "/v1/status")
dienst.stop()
passend = {d["name"]: d["passend"] for d in answer["drucker"]}
wrong = 0
for row in sys.argv[3:]:
    queue, label, slip = row.split()
    want = [art for art, how in (("label", label), ("abholschein", slip)) if how == "druckt"]
    got = [art for art in passend.get(queue, ["fehlt"]) if art in ("label", "abholschein")]
    if got != want:
        print(f"FEHLER: {queue}: passend {passend.get(queue)}, gedruckt hat {want}")
        wrong += 1
sys.exit(1 if wrong else 0)
EOF
echo "1 passed, 0 failed"
