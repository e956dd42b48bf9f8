#!/usr/bin/env bash
# An automation job to a real CUPS queue: the server's current printer is the
# cups-pdf queue "PDF"; two labels, released, must arrive as one two-page PDF
# whose barcodes decode and whose text reads back.
# Usage: tst_automation_cups.sh BUILD_DIR   (exit 77: no CUPS here, skipped)
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/private-bus.sh"
"$here/cupsd-ctl" start >/dev/null 2>&1 && lpstat -p PDF >/dev/null 2>&1 || { echo "kein CUPS mit der Warteschlange PDF"; exit 77; }
out=$(getent passwd "$(id -u)" | cut -d: -f6)/PDF
trap stop_private_bus EXIT
fail() { echo "FEHLER: $*"; echo "0 passed, 1 failed"; exit 1; }

stamp=$(mktemp); sleep 1
BUS_PRINTER=PDF start_private_bus "$build" || fail "kein Bus"
call() { gdbus call --session --dest Tarvel.Application "$@"; }
path=$(call --object-path /Tarvel --method Tarvel.Server.CreateObject Tarvel.Application | sed -E "s/^\(objectpath '([^']+)',\)$/\1/")
call --object-path "$path" --method org.freedesktop.DBus.Properties.Set Tarvel.Application MatchCode "<'WEIHNACHTSBAUM'>" >/dev/null
for nr in CUPS-1001 CUPS-1002; do
  call --object-path "$path" --method org.freedesktop.DBus.Properties.Set Tarvel.Application ArtikelNr "<'$nr'>" >/dev/null
  call --object-path "$path" --method Tarvel.Application.DruckeLabel >/dev/null || fail "DruckeLabel"
done
call --object-path "$path" --method Tarvel.Application.Release >/dev/null || fail "Release"
for _ in $(seq 1 300); do
  pdf=$(find "$out" -name '*.pdf' -newer "$stamp" 2>/dev/null | head -n1)
  [ -n "$pdf" ] && break
  sleep 0.1
done
[ -n "$pdf" ] || fail "cups-pdf schrieb nichts nach $out"
sleep 0.5
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ "$pages" = 2 ] || fail "$pages Seiten statt 2"
pdftoppm -r 300 -gray "$pdf" "$bus_dir/page"
codes=$(zbarimg -q --raw "$bus_dir"/page-*.pgm | tr '\n' ' ')
[ "$codes" = "CUPS-1001 CUPS-1002 " ] || fail "Barcodes: $codes"
pdftotext "$pdf" - | grep -q WEIHNACHTSBAUM || fail "Text nicht lesbar"
rm -f "$pdf" "$stamp"
echo "1 passed, 0 failed"
