# Sourced after xvfb-session.sh (for at_exit) with $wine_run set: links a phone-sim on a
# pseudo-terminal as a COM port of the Wine prefix. Wine opens the port through the
# dosdevices link; the program lists ports from the registry's serial-port map.
#   link_phone_sim PORT PHONE-SIM [PHONE-SIM OPTIONS...]
# The simulator, the link and the map's value go when the sourcing script ends; its process
# id is left in $phone_sim_pid. Linking a port again plugs a new phone in: the script kills
# the one before when it wants the phone unplugged.
declare -A phone_port_locks=()
link_phone_sim() {
  local port=$1 sim=$2 out pid lock=
  shift 2
  local link="$WINEPREFIX/dosdevices/${port,,}" value="\\Device\\TarvelinSim$port"
  # Creates the prefix if needed; one user of the port in the prefix at a time. A phone
  # plugged in again finds the port in the map already.
  if [ -z "${phone_port_locks[$port]:-}" ]; then
    "$wine_run" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "$value" /d "$port" /f >/dev/null
    exec {lock}>"$WINEPREFIX.${port,,}.lock"
    flock "$lock"
    phone_port_locks[$port]=$lock
  fi
  out=$(mktemp)
  "$sim" "$@" >"$out" &
  pid=$!
  phone_sim_pid=$pid
  at_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f '$link' '$out'"
  [ "${phone_port_locks[$port]}" != "$lock" ] ||
    at_exit "'$wine_run' reg delete 'HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM' /v '$value' /f >/dev/null 2>&1"
  for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.1; done
  [ -s "$out" ] || { echo "phone-sim printed no terminal path" >&2; return 1; }
  ln -sfn "$(head -n 1 "$out")" "$link"
}
