#!/usr/bin/env bash
# The native tarvelin-probe names the phone on a pseudo-terminal from the driver database
# compiled into it, also when the phone keeps echoing its commands, and prints "-" for a
# phone the catalogue does not know.
#   probe_identify.sh PROBE PHONE_SIM
set -euo pipefail
probe=$1
sim=$2
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

start_phone() {  # start_phone IMEI NAME [ARGS]: leaves the device path in $work/NAME
  "$sim" --imei "$1" --exit-after 60 "${@:3}" >"$work/$2" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/$2" ] && break; sleep 0.05; done
}
start_phone 358368001234563 known    # 35836800: Nokia 6230i
start_phone 990000001234567 unknown
start_phone 358368001234563 echoing --echo --reject ATE0
known=$(head -n 1 "$work/known")
unknown=$(head -n 1 "$work/unknown")
echoing=$(head -n 1 "$work/echoing")

"$probe" --identify "$known" "$unknown" "$echoing" >"$work/out"
grep -qx $'ID\t'"$known"$'\tNokia 6230i' "$work/out" || { cat -A "$work/out"; exit 1; }
grep -qx $'ID\t'"$echoing"$'\tNokia 6230i' "$work/out" || { cat -A "$work/out"; exit 1; }
grep -qx $'ID\t'"$unknown"$'\t-' "$work/out" || { cat -A "$work/out"; exit 1; }
echo PASS
