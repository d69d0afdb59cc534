#!/usr/bin/env bash
# tarvelin-probe.exe under Wine on ports behind which no phone can answer:
#   file  COM8 linked to a plain file: the port is refused, no serial number is reported and
#         the file is left as it was;
#   idle  COM9 linked to the machine's serial port /dev/ttyS0, where nothing answers: the probe
#         finishes (closing a port with a line-event watch pending ends) instead of hanging.
#   probe_wine_ports.sh file|idle PROBE_EXE WINE_RUN
# Exits 77 (skipped) in idle mode when /dev/ttyS0 cannot be used.
set -euo pipefail
mode=$1
probe=$2
wine_run=$3
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"

case $mode in
  file) port=COM8 ;;
  idle)
    port=COM9
    if ! stty -F /dev/ttyS0 >/dev/null 2>&1; then
      echo "SKIP: /dev/ttyS0 is missing or cannot be opened" >&2
      exit 77
    fi
    ;;
  *) echo "usage: $0 file|idle PROBE_EXE WINE_RUN" >&2; exit 2 ;;
esac
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
  "$wine_run" "$probe" >/dev/null 2>&1 || true  # creates the prefix (usage error, exit 2)
fi

work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/${port,,}"
cleanup() {
  rm -f "$link"
  rm -rf "$work"
}
trap 'status=$?; cleanup; exit $status' EXIT
exec 8>"$WINEPREFIX.${port,,}.lock"  # one user of the port in the prefix at a time
flock 8

if [ "$mode" = file ]; then
  printf 'AT\r\n358368001234563\r\nOK\r\n' >"$work/port"
  cp "$work/port" "$work/port.before"
  ln -sfn "$work/port" "$link"
else
  ln -sfn /dev/ttyS0 "$link"
fi

# A hang is what the idle mode guards against: the bound is far above the few seconds a
# probe of a silent port takes.
status=0
timeout 120 "$wine_run" "$probe" "$port" >"$work/out" 2>"$work/err" || status=$?
tr -d '\r' <"$work/out" >"$work/actual"
fail() {
  echo "FAIL: $*; the probe exited $status and printed:" >&2
  cat -A "$work/actual" "$work/err" >&2
  exit 1
}
[ "$status" -ne 124 ] || fail "$port: the probe did not finish"
[ "$status" -eq 0 ] || fail "$port: the probe failed"
grep -q $'^3\t' "$work/actual" || fail "$port: the job did not report its end"
if grep -q $'^7\t' "$work/actual"; then fail "$port: a serial number was reported"; fi
if [ "$mode" = file ] && ! cmp -s "$work/port" "$work/port.before"; then
  fail "$port: the file behind the port was written to"
fi
echo "PASS: $port ($mode) gave no phone and the probe finished"
