#!/usr/bin/env bash
# Under Wine: the stand-in dial-up service's modem call against phone-sim linked as COM7.
# A call connects, carries the phone's data and ends with the escape and ATH; what each side
# counted agrees. A phone unplugged during a call is noticed as a lost line. A phone that
# refuses the call gives NO CARRIER's error, 679.
#   standin_dial_wine.sh PROBE.exe WINE-RUN PHONE-SIM
set -euo pipefail
probe=$1
wine_run=$2
sim=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
[ -x "$sim" ] || { echo "SKIP: no phone-sim at $sim" >&2; exit 77; }
# shellcheck source=/dev/null
. "$here/scripts/xvfb-session.sh"
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"
# shellcheck source=/dev/null
. "$here/scripts/phone-port.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
stats=$(mktemp)
at_exit "rm -f '$stats'"

link_phone_sim COM7 "$sim" --rate 3000 --stats "$stats" --exit-after 60 || fail "COM7 not linked"
out=$("$wine_run" "$probe" COM7 3 | tr -d '\r')
echo "probe: $out"
read -r state _ received _ sent <<<"$out"
[ "$state" = connected ] || fail "the call did not stay connected: $out"
sleep 1  # the phone writes its figures when the call has ended
phone_sent=$(awk '/^sent/ {print $2}' "$stats")
phone_received=$(awk '/^received/ {print $2}' "$stats")
echo "phone: sent $phone_sent received $phone_received"
# About three seconds at 3,000 bytes a second. The call reads on until the phone is back in
# command mode; the phone counts what it made ready to send, so at most its last kilobyte may
# still have been on the way.
[ "$received" -gt 6000 ] || fail "too little received: $received"
[ $((phone_sent - received)) -ge -6 ] && [ $((phone_sent - received)) -le 1024 ] ||
  fail "the phone sent $phone_sent, the call received $received"
# The phone also counts the escape "+++"; ATH comes after the call is back in command mode.
[ "$phone_received" -eq $((sent + 3)) ] || fail "the call sent $sent, the phone received $phone_received"

# The phone goes away a moment into a four-second call: the call has lost its line.
rm -f "$stats"
link_phone_sim COM7 "$sim" --rate 3000 --stats "$stats" --exit-after 60 || fail "COM7 not linked"
out=$(mktemp)
at_exit "rm -f '$out'"
"$wine_run" "$probe" COM7 4 >"$out" &
probe_pid=$!
for _ in $(seq 100); do grep -q '^calls 1' "$stats" 2>/dev/null && break; sleep 0.1; done
kill "$phone_sim_pid"
wait "$probe_pid"
out=$(tr -d '\r' <"$out")
[ "${out%% *}" = lost ] || fail "an unplugged phone's call reports '$out'"

link_phone_sim COM8 "$sim" --refuse-dial --exit-after 60 || fail "COM8 not linked"
out=$("$wine_run" "$probe" COM8 1 | tr -d '\r')
[ "$out" = "error 679" ] || fail "a refused call reports '$out'"
out=$("$wine_run" "$probe" COM9 1 | tr -d '\r')
[ "$out" = "error 633" ] || fail "a missing port reports '$out'"
echo PASS
