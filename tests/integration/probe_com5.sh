#!/usr/bin/env bash
# tarvelin-probe.exe under Wine finds the simulated phone on COM5: the native phone-sim
# serves a pseudo-terminal, and COM5 of the Wine prefix is linked to it.
#   probe_com5.sh PROBE_EXE HOST_TOOLS_DIR WINE_RUN
# Exits 77 (skipped) when the native phone-sim has not been built.
set -euo pipefail
probe=$1
sim="$2/phone-sim/phone-sim"
wine_run=$3
imei=358368001234563  # its type allocation code 35836800 is in the catalogue: Nokia 6230i

if [ ! -x "$sim" ]; then
  echo "SKIP: native phone-sim not found at $sim; build the native preset first" >&2
  exit 77
fi
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
  "$wine_run" "$probe" >/dev/null 2>&1 || true  # creates the prefix (usage error, exit 2)
fi

work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/com5"
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -f "$link"
  if [ -f "$work/old-link" ]; then ln -s "$(cat "$work/old-link")" "$link"; fi
  rm -rf "$work"
}
trap 'status=$?; cleanup; exit $status' EXIT

# One user of COM5 in the prefix at a time.
exec 8>"$WINEPREFIX.com5.lock"
flock 8

"$sim" --imei "$imei" --exit-after 170 >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
slave=$(head -n 1 "$work/sim.out")
[ -n "$slave" ] || { echo "FAIL: phone-sim printed no terminal path" >&2; exit 1; }

if [ -L "$link" ]; then readlink "$link" >"$work/old-link"; fi
ln -sfn "$slave" "$link"

probe_status=0
"$wine_run" "$probe" COM5 >"$work/probe.out" 2>"$work/probe.err" || probe_status=$?
tr -d '\r' <"$work/probe.out" >"$work/actual"
printf '1\t\t\n4\tCOM5\t\n7\tCOM5\t%s\n5\tCOM5\t\n3\t\t\n' "$imei" >"$work/expected"
if [ "$probe_status" -ne 0 ] || ! cmp -s "$work/expected" "$work/actual"; then
  echo "FAIL: tarvelin-probe exited $probe_status; expected and actual output:" >&2
  cat -A "$work/expected" >&2
  echo "---" >&2
  cat -A "$work/actual" "$work/probe.err" >&2
  exit 1
fi
# With --identify the probe names the phone from the driver database it carries.
"$wine_run" "$probe" --identify COM5 >"$work/identify.out" 2>>"$work/probe.err" || probe_status=$?
if [ "$probe_status" -ne 0 ] || ! tr -d '\r' <"$work/identify.out" | grep -qx $'ID\tCOM5\tNokia 6230i'; then
  echo "FAIL: tarvelin-probe --identify exited $probe_status and printed:" >&2
  cat -A "$work/identify.out" "$work/probe.err" >&2
  exit 1
fi
echo "PASS: COM5 answered with $imei, identified as Nokia 6230i"
