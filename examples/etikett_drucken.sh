#!/usr/bin/env bash
# Prints one article label and one address label through the Tarvel automation
# server, with GLib's gdbus. The session bus starts the server by itself.
set -euo pipefail

# Prints "path" from gdbus's "(objectpath '/Tarvel/...',)".
object_path() { sed -E "s/^\(objectpath '([^']+)',\)$/\1/"; }

app=$(gdbus call --session --dest Tarvel.Application --object-path /Tarvel \
        --method Tarvel.Server.CreateObject Tarvel.Application | object_path)
set_field() {
  gdbus call --session --dest Tarvel.Application --object-path "$app" \
    --method org.freedesktop.DBus.Properties.Set Tarvel.Application "$1" "<'$2'>" >/dev/null
}
set_field ArtikelNr "SH-4711"
set_field Preis1 "12,95 €"
set_field Preis2 "9,95 €"
set_field MatchCode "SCHLUESSEL"
set_field WarenGruppe "Bücher"
set_field ISBN "978-3-16-148410-0"
gdbus call --session --dest Tarvel.Application --object-path "$app" --method Tarvel.Application.DruckeLabel >/dev/null
# The job is delivered when the object is released.
gdbus call --session --dest Tarvel.Application --object-path "$app" --method Tarvel.Application.Release >/dev/null

adr=$(gdbus call --session --dest Tarvel.AdressLabels --object-path /Tarvel \
        --method Tarvel.Server.CreateObject Tarvel.AdressLabels | object_path)
gdbus call --session --dest Tarvel.AdressLabels --object-path "$adr" --method Tarvel.AdressLabels.Drucke \
  1 "['Buchhandlung am Markt', 'Frau Erika Mustermann', 'Hauptstraße 5', '12345 Musterstadt', 'Deutschland']"
gdbus call --session --dest Tarvel.AdressLabels --object-path "$adr" --method Tarvel.AdressLabels.Release >/dev/null
