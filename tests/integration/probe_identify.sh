#!/usr/bin/env bash
# The native tarvelin-probe names the phone on a pseudo-terminal from the driver database
# compiled into it, also when the phone keeps echoing its commands, and prints "-" for a
# phone the catalogue does not know. A --db that is not a usable database (a folder, a
# device, bytes that are no container) is refused with a message and a failing exit, before
# any port is opened.
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
printf 'VexrDB\1\0' >"$work/corrupt"
for db in "$work" /dev/zero "$work/corrupt"; do
  if "$probe" --identify --db "$db" COM1 >"$work/out" 2>"$work/err"; then
    echo "accepted --db $db"; exit 1
  fi
  grep -q "driver database" "$work/err" || { cat "$work/err"; exit 1; }
  [ ! -s "$work/out" ] || { cat -A "$work/out"; exit 1; }
done

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
