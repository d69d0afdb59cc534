#!/usr/bin/env bash
# tarvelin-probe.exe under Wine on a COM port of the prefix linked to:
#   phone  COM5: the native phone-sim on a pseudo-terminal. The probe reports the phone's
#          serial number, and with --identify names it from the database it carries; with
#          --ports, once the port is in the registry's serial-port map, it lists the port
#          among the machine's and finds the phone on it;
#   file   COM8: a plain file. The port is refused, no serial number is reported and the file
#          is left as it was;
#   idle   COM9: the machine's serial port /dev/ttyS0, where nothing answers. The probe
#          finishes (closing a port with a line-event watch pending ends) instead of hanging.
#   probe_wine.sh phone|file|idle PROBE_EXE WINE_RUN [HOST_TOOLS_DIR]
# Exits 77 (skipped) when what the mode needs is missing (phone-sim, /dev/ttyS0).
set -euo pipefail
mode=$1
probe=$2
wine_run=$3
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"
imei=358368001234563  # its type allocation code 35836800 is in the catalogue: Nokia 6230i
skip() { echo "SKIP: $*" >&2; exit 77; }

case $mode in
  phone) port=COM5; sim="${4:-}/phone-sim/phone-sim"; [ -x "$sim" ] || skip "no phone-sim at $sim" ;;
  file) port=COM8 ;;
  idle) port=COM9; stty -F /dev/ttyS0 >/dev/null 2>&1 || skip "/dev/ttyS0 cannot be opened" ;;
  *) echo "usage: $0 phone|file|idle PROBE_EXE WINE_RUN [HOST_TOOLS_DIR]" >&2; exit 2 ;;
esac
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
  "$wine_run" "$probe" >/dev/null 2>&1 || true  # creates the prefix (usage error, exit 2)
fi

work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/${port,,}"
sim_pid=
map_value='\Device\TarvelinPhoneSim'
cleanup() {
  if [ "$mode" = phone ]; then
    "$wine_run" reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "$map_value" /f >/dev/null 2>&1 || true
  fi
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -f "$link"
  rm -rf "$work"
}
trap 'status=$?; cleanup; exit $status' EXIT
exec 8>"$WINEPREFIX.${port,,}.lock"  # one user of the port in the prefix at a time
flock 8

case $mode in
  phone)
    "$sim" --imei "$imei" --exit-after 170 >"$work/sim.out" &
    sim_pid=$!
    for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
    target=$(head -n 1 "$work/sim.out")
    [ -n "$target" ] || { echo "FAIL: phone-sim printed no terminal path" >&2; exit 1; } ;;
  file)
    printf 'AT\r\n%s\r\nOK\r\n' "$imei" >"$work/port"
    cp "$work/port" "$work/port.before"
    target=$work/port ;;
  idle) target=/dev/ttyS0 ;;
esac
ln -sfn "$target" "$link"

# probe ARGS...: runs the probe; a hang (the idle mode's fault) ends at 120 s,
# far above the few seconds a silent port takes.
status=0
probe() {
  status=0
  timeout 120 "$wine_run" "$probe" "$@" >"$work/out" 2>"$work/err" || status=$?
  tr -d '\r' <"$work/out" >"$work/actual"
}
fail() {
  echo "FAIL: $port ($mode): $*; the probe exited $status and printed:" >&2
  cat -A "$work/actual" "$work/err" >&2
  exit 1
}
probe "$port"
[ "$status" -ne 124 ] || fail "the probe did not finish"
[ "$status" -eq 0 ] || fail "the probe failed"
if [ "$mode" = phone ]; then
  printf '1\t\t\n4\t%s\t\n7\t%s\t%s\n5\t%s\t\n3\t\t\n' "$port" "$port" "$imei" "$port" >"$work/expected"
  cmp -s "$work/expected" "$work/actual" || fail "not the expected reports"
  probe --identify "$port"
  grep -qx $'ID\t'"$port"$'\tNokia 6230i' "$work/actual" || fail "the phone was not named"
  "$wine_run" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "$map_value" /d "$port" /f >/dev/null
  probe --ports --identify --stop-after-first
  grep -q $'^PORT\t'"$port"$'\t' "$work/actual" || fail "--ports did not list the port"
  grep -qx $'ID\t'"$port"$'\tNokia 6230i' "$work/actual" || fail "--ports did not find the phone"
else
  grep -q $'^3\t' "$work/actual" || fail "the job did not report its end"
  if grep -q $'^7\t' "$work/actual"; then fail "a serial number was reported"; fi
  if [ "$mode" = file ] && ! cmp -s "$work/port" "$work/port.before"; then
    fail "the file behind the port was written to"
  fi
fi
echo "PASS: $port ($mode)"
