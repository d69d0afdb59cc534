#!/usr/bin/env bash
# End to end under Wine: what the user sees when the phone fails. A modem on COM4 is installed
# through the stand-in installer and a connection over it written to the phone book; the
# program runs beside the stand-in system services, phone-sim plays the phone.
#  1. The phone refuses the call: the dial dialog reports NO CARRIER (error 679), the main
#     page stays idle.
#  2. The phone is unplugged during a call: the line drops, the page shows the session's end.
#  3. The program is closed while connected: the call goes on in the dial-up service; the
#     program started again shows it connected and hangs it up.
#  4. The phone is unplugged while the wizard searches: the search ends, no phone is offered.
#   faults_e2e.sh PATH/TO/Tarvelin.exe PATH/TO/phone-sim SCREENSHOT-DIR STAND-INS
set -euo pipefail
exe=$1
sim=$2
shots=$3
standins=$4
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"
# shellcheck source=/dev/null
. "$here/tests/e2e/pages.sh"
# shellcheck source=/dev/null
. "$here/scripts/phone-port.sh"
[ -x "$sim" ] || { echo "SKIP: no phone-sim at $sim" >&2; exit 77; }
[ -f "$standins/standin-install-modem.exe" ] || { echo "SKIP: no stand-ins in $standins" >&2; exit 77; }
port=COM4
imei=358368001234563  # a Nokia 6230i by its type allocation code

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/calls*
run_beside_standins "$exe" "$standins"
modem=$(install_test_modem "$standins" "$port") || fail "the modem was not installed: $modem"
entry="Faults ($modem)"
use_phone_book "$(printf '[%s]\r\nEncoding=1\r\nType=1\r\nDeviceType=modem\r\nDevice=%s\r\nPhoneNumber=*99#\r\n' "$entry" "$modem")"

# The main page, window-relative: the list, the button's caption (inside the focus
# rectangle, which comes and goes) and the figures panel, dark while a connection is shown
# (the session's summary is on white).
list_of() { digest "$1" 330x22+14+66; }
caption_of() { digest "$1" 90x12+375+70; }
panel_dark() { above "$(dark_share "$1" 284 98 200 146 50)" 0.5; }
matches() { case $2 in !*) [ "$1" != "${2#!}" ] ;; *) [ "$1" = "$2" ] ;; esac; }
# reads FILE connected|ended LIST CAPTION: a fresh screenshot into FILE shows the state, the
# list and the caption given ("!X": anything but X).
reads() {
  import -window "$win" "$1" 2>/dev/null || return 1
  if [ "$2" = connected ]; then panel_dark "$1"; else ! panel_dark "$1"; fi &&
    matches "$(list_of "$1")" "$3" && matches "$(caption_of "$1")" "$4"
}
expect_page() {  # expect_page NAME connected|ended LIST CAPTION, within 20 s
  wait_until 20 reads "$shots/$1.png" "$2" "$3" "$4" || fail "$step: the main page does not read $2"
}
figure() { awk -v k="$1" '$1 == k {print $2}' "$2" 2>/dev/null; }
connect() {  # connect STATS: Соединить, the phone answers, the page shows the connection
  click_at 420 75
  wait_until 40 grep -q '^calls 1' "$1" || { import -window root "$shots/no-call.png"; fail "$step: no call"; }
}

# The list is filled once the window's start-up check has run.
lists_modem() { import -window "$win" "$1" 2>/dev/null && above "$(dark_share "$1" 14 66 320 20 50)" 0.02; }
start_program "$exe"
wait_until 20 lists_modem "$shots/page-1.png" || fail "$step: the main page lists no modem"
idle_list=$(list_of "$shots/page-1.png")
idle_caption=$(caption_of "$shots/page-1.png")

step="1: the phone refuses, Соединить -> Error 679, the page stays idle"
link_phone_sim "$port" "$sim" --imei "$imei" --refuse-dial --exit-after 170 || fail "$port not linked"
click_at 420 75
wait_until 40 sh -c "xdotool search --onlyvisible --name '^Error 679 connecting\$' >/dev/null" ||
  { import -window root "$shots/no-error.png"; fail "$step: no error 679"; }
import -window root "$shots/1-refused.png"
box=$(xdotool search --onlyvisible --name '^Error 679 connecting$' | head -n 1)
xdotool windowfocus --sync "$box" key Return
sleep 2  # a poll of the connections
expect_page 1-idle ended "$idle_list" "$idle_caption"

step="2: connected, the phone unplugged -> the session's end"
kill "$phone_sim_pid"
link_phone_sim "$port" "$sim" --imei "$imei" --rate 3000 --stats "$shots/calls-2" \
  --exit-after 170 || fail "$port not linked"
connect "$shots/calls-2"
# The modem's item reads "(подключено)", the button "Завершить".
expect_page 2-connected connected "!$idle_list" "!$idle_caption"
connected_list=$(list_of "$shots/2-connected.png")
connected_caption=$(caption_of "$shots/2-connected.png")
kill "$phone_sim_pid"
expect_page 2-unplugged ended "$idle_list" "$idle_caption"

step="3: connected, the program closed -> the call goes on"
link_phone_sim "$port" "$sim" --imei "$imei" --rate 3000 --stats "$shots/calls-3" \
  --exit-after 170 || fail "$port not linked"
connect "$shots/calls-3"
expect_page 3-connected connected "$connected_list" "$connected_caption"
xdotool windowfocus --sync "$win" key alt+F4
wait_for_exit "$program" "$step: the program did not end"
# The phone's figures grow while the call carries data both ways.
carrying() {
  local received
  received=$(figure received "$shots/calls-3")
  wait_until 3 sh -c "[ \$(awk '\$1 == \"received\" {print \$2}' '$shots/calls-3') -gt $received ]"
}
carrying || fail "$step: the call carries no more data"
step="3: started again -> shown connected; Завершить -> the call ends"
start_program "$exe"
expect_page 3-started-again connected "$connected_list" "$connected_caption"
click_at 420 75
expect_page 3-hung-up ended "$idle_list" "$idle_caption"
! carrying || fail "$step: the call goes on"
cat "$shots/calls-3"

step="4: the phone unplugged while the wizard searches -> no phone found"
link_phone_sim "$port" "$sim" --imei "$imei" --exit-after 170 || fail "$port not linked"
click_at 298 29
expect_frame -dee 4-page-4
click_at 38 108
click_at 370 274
expect_frame -eee 4-page-8
click_at 370 274
expect_frame -dde 4-searching
sleep 1
kill "$phone_sim_pid"
# The list box's inside (its frame left out) stays empty.
wait_until 90 frame_shows -eee "$shots/4-search-ended.png" ||
  fail "$step: the frame is $(frame_of "$shots/4-search-ended.png")"
above "$(dark_share "$shots/4-search-ended.png" 24 152 436 62 50)" 0.01 &&
  fail "$step: a phone is offered"
click_at 454 274
expect_frame v--- 4-page-1

step="Alt+F4 -> the program ends"
xdotool windowfocus --sync "$win" key alt+F4
wait_for_exit "$program" "$step: the program did not end"
echo "screenshots: $shots"
echo "PASS"
