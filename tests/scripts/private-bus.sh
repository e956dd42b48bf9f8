# Sourced by the shell tests: a session bus of their own in a temporary folder.
# start_private_bus SERVICEDIR|BUILD starts dbus-daemon with that activation folder, or with
# activation files for BUILD/src/tarvel, and exports DBUS_SESSION_BUS_ADDRESS. Its servers get
# HOME=$bus_home, a German locale, no display, and no CUPS unless BUS_PRINTER=NAME makes NAME
# their current printer (CUPS's LPDEST). stop_private_bus ends the daemon and its servers.

start_private_bus() {
  bus_dir=$(mktemp -d)
  bus_home=$bus_dir/home
  mkdir -p "$bus_home"
  local services=$1
  if [ -x "$1/src/tarvel" ]; then
    services=$bus_dir/services
    mkdir -p "$services"
    for name in Tarvel.Application Tarvel.AdressLabels; do
      printf '[D-BUS Service]\nName=%s\nExec=%s --automation\n' "$name" "$1/src/tarvel" > "$services/$name.service"
    done
  fi
  cat > "$bus_dir/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:path=$bus_dir/bus</listen><servicedir>$services</servicedir>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
</policy></busconfig>
CONF
  local cups="CUPS_SERVER=/nonexistent"
  [ -n "${BUS_PRINTER:-}" ] && cups="LPDEST=$BUS_PRINTER"
  env -i PATH="$PATH" HOME="$bus_home" LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$bus_dir" "$cups" \
    dbus-daemon --config-file="$bus_dir/bus.conf" --nofork --print-address=3 3>"$bus_dir/address" &
  bus_pid=$!
  for _ in $(seq 1 50); do [ -s "$bus_dir/address" ] && break; sleep 0.1; done
  export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$bus_dir/address")
  [ -n "$DBUS_SESSION_BUS_ADDRESS" ]
}

# The jobs folder of the servers on the private bus.
private_jobs() { echo "$bus_home/Documents/Tarvel"; }

# Waits until the jobs folder holds N PDFs (at most 40 s).
wait_for_jobs() {
  for _ in $(seq 1 400); do
    [ "$(ls "$(private_jobs)"/*.pdf 2>/dev/null | wc -l)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

stop_private_bus() {
  # The servers the bus started end with it: they lose their connection.
  [ -n "${bus_pid:-}" ] && kill "$bus_pid" 2>/dev/null && wait "$bus_pid" 2>/dev/null
  sleep 0.3
  rm -rf "$bus_dir"
}
