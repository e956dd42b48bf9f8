#!/usr/bin/env bash
# Installs into a temporary prefix and prints one label through the installed
# activation file: the bus starts the installed program by itself.
# Usage: tst_install.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../scripts/private-bus.sh"
prefix=$(mktemp -d)
trap 'stop_private_bus; rm -rf "$prefix"' EXIT
fail() { echo "FEHLER: $*" >&2; exit 1; }

cmake --install "$1" --prefix "$prefix" >/dev/null
for f in bin/tarvel share/icons/hicolor/scalable/apps/tarvel.svg; do
  [ -e "$prefix/$f" ] || fail "$f fehlt"
done
for name in Tarvel.Application Tarvel.AdressLabels; do
  [ "$(cat "$prefix/share/dbus-1/services/$name.service")" = \
    "$(printf '[D-BUS Service]\nName=%s\nExec=%s --automation' "$name" "$prefix/bin/tarvel")" ] \
    || fail "$name.service nennt nicht $name und $prefix/bin/tarvel --automation"
done
grep -qx "ExecStart=$prefix/bin/tarvel dienst" "$prefix/lib/systemd/user/tarvel-dienst.service" \
  || fail "tarvel-dienst.service startet nicht $prefix/bin/tarvel dienst"
grep -qx "Name=Barcode drucken" "$prefix/share/applications/tarvel.desktop" || fail "Name im Desktop-Eintrag"

start_private_bus "$prefix/share/dbus-1/services" || fail "kein Bus"
call() { gdbus call --session --dest Tarvel.Application "$@"; }
path=$(call --object-path /Tarvel --method Tarvel.Server.CreateObject Tarvel.Application | sed -E "s/^\(objectpath '([^']+)',\)$/\1/")
[[ $path == /Tarvel/Application/* ]] || fail "CreateObject gab $path"
# The installed program is the one the bus started.
pid=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetConnectionUnixProcessID Tarvel.Application | sed -E 's/.*uint32 ([0-9]+).*/\1/')
[ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/tarvel" ] || fail "gestartet wurde $(readlink "/proc/$pid/exe")"
call --object-path "$path" --method org.freedesktop.DBus.Properties.Set Tarvel.Application ArtikelNr "<'INST-4711'>" >/dev/null
call --object-path "$path" --method Tarvel.Application.DruckeLabel >/dev/null
call --object-path "$path" --method Tarvel.Application.Release >/dev/null
wait_for_jobs 1 || fail "kein Auftrag in $(private_jobs)"
pdf=$(ls "$(private_jobs)"/*.pdf | head -n1)
pdftoppm -r 300 -gray -singlefile "$pdf" "$bus_dir/page"
code=$(zbarimg -q --raw "$bus_dir/page.pgm")
[ "$code" = "INST-4711" ] || fail "Barcode las \"$code\""
echo "1 passed, 0 failed"
