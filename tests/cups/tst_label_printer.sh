#!/usr/bin/env bash
# A thermal label printer as a shop sets it up: CUPS's stock ZPL driver, 4" x 2" labels,
# a socket device whose listener turns every label's graphic into an image. `tarvel drucken
# --art label` at 300 and 203 dots per inch, and the automation server's DruckeLabel with the
# queue as default printer: each label has the media's size, decodes to its number, and its
# module is a whole number of dots (4 at 300 dpi, 3 at 203 dpi, as InitBreite(0) chooses).
# Usage: tst_label_printer.sh BUILD_DIR   (exit 77: no CUPS here, skipped);
# TARVEL_KEEP_JOBS=FOLDER keeps the labels as images for a look.
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/private-bus.sh"
"$here/cupsd-ctl" start >/dev/null 2>&1 || { echo "kein CUPS"; exit 77; }
queue=Etiketten-$$
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
work=$(mktemp -d)
"$here/zpl-etiketten" empfangen "$port" "$work/etiketten" &
listener=$!
trap 'kill $listener; "$here/cupsd-ctl" entfernen "$queue"; [ -n "${bus_dir:-}" ] && stop_private_bus; rm -rf "$work"' EXIT
fail() { echo "FEHLER: $*"; echo "0 passed, 1 failed"; exit 1; }

# labels SIZE MODULE CODE...: the labels received, one for each CODE, in order.
labels() {
  local size=$1 module=$2 want="${*:3}" got="" label
  shift 2
  for _ in $(seq 1 600); do [ "$(ls "$work/etiketten" 2>/dev/null | grep -c 'pbm$')" -ge $# ] && break; sleep 0.1; done
  for label in $(ls -v "$work"/etiketten/*.pbm 2>/dev/null); do
    read -r s m whole <<<"$("$here/zpl-etiketten" messen "$label")"
    echo "$(basename "$label"): $s Punkte, Modul $m Punkte, $whole"
    [ "$s $m $whole" = "$size $module ganz" ] || fail "$label: $s, Modul $m $whole statt $size, $module ganz"
    got+="$(zbarimg -q --raw "$label" 2>/dev/null) "
    [ -n "${TARVEL_KEEP_JOBS:-}" ] && cp "$label" "$TARVEL_KEEP_JOBS/"
  done
  [ "$got" = "$want " ] || fail "Barcodes: '$got' statt '$want'"
  rm -f "$work"/etiketten/*.pbm
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
for row in "300 1200x600 4" "203 812x406 3"; do
  read -r dpi size module <<<"$row"
  "$here/cupsd-ctl" etiketten "$queue" "$port" "$dpi" || fail "Warteschlange $queue"
  out=$("$build/src/tarvel" drucken --art label --drucker "$queue" "$here/../data/artikel/zwei.txt") \
    || fail "tarvel drucken: $out"
  [[ $out == "$queue (Auftrag "* ]] || fail "Ausgabe: $out"
  labels "$size" "$module" B-0001 B-0002
done

BUS_PRINTER=$queue start_private_bus "$build" || fail "kein Bus"
call() { gdbus call --session --dest Tarvel.Application "$@" >/dev/null || fail "$*"; }
path=$(gdbus call --session --dest Tarvel.Application --object-path /Tarvel --method Tarvel.Server.CreateObject \
  Tarvel.Application | sed -E "s/^\(objectpath '([^']+)',\)$/\1/")
for nr in ETI-4711 ETI-4712; do
  call --object-path "$path" --method org.freedesktop.DBus.Properties.Set Tarvel.Application ArtikelNr "<'$nr'>"
  call --object-path "$path" --method Tarvel.Application.DruckeLabel
done
call --object-path "$path" --method Tarvel.Application.Release
labels 812x406 3 ETI-4711 ETI-4712
echo "1 passed, 0 failed"
