#!/usr/bin/env bash
# Runs the three client examples on a private bus against the built server and
# decodes the barcode of each article label they printed.
# Usage: tst_examples.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
src=$2
source "$(dirname "$0")/../scripts/private-bus.sh"
trap stop_private_bus EXIT

passed=0 failed=0
fehler() { echo "FEHLER: $*"; failed=$((failed + 1)); }
check() { # NAME EXPECTED-BARCODE COMMAND...
  local name=$1 expected=$2 codes="" out
  shift 2
  rm -rf "$(private_jobs)"
  out=$("$@" 2>&1) || { fehler "$name: $out"; return; }
  wait_for_jobs 2 || { fehler "$name: nicht zwei Aufträge in $(private_jobs)"; return; }
  for pdf in "$(private_jobs)"/*.pdf; do
    pdftoppm -r 300 -gray -singlefile "$pdf" "$bus_dir/page"
    codes+=$(zbarimg -q --raw "$bus_dir/page.pgm" 2>/dev/null)
    pdftotext "$pdf" - >> "$bus_dir/text.txt"
  done
  [ "$codes" = "$expected" ] || { fehler "$name: Barcode \"$codes\" statt \"$expected\""; return; }
  echo "ok: $name"
  passed=$((passed + 1))
}

start_private_bus "$build" || { echo "kein Bus"; exit 1; }
check shell SH-4711 "$src/examples/etikett_drucken.sh"
check python PY-0815 /usr/bin/python3 "$src/examples/etikett_drucken.py"
check qt QT-2024-17 "$build/examples/etikett_drucken"
grep -q "Mustermann" "$bus_dir/text.txt" || fehler "Adressetikett nicht lesbar"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
