#!/usr/bin/env bash
# End to end under Wine: the setup wizard's search finds a phone. phone-sim answers on COM5
# as a phone the catalogue knows, a second one stays silent on COM3. The wizard is opened from
# the options menu (first choice, Next), Next on its first page starts the search; once it
# ends the phone is picked from the list, the maker and model page is shown, the connection
# kind is chosen by hand and the summary page is shown. Installing needs system services Wine
# only stubs: with the folder of the stand-in libraries the program runs beside them and the
# journey goes on. Install makes the modem and its connection, and the main page lists the
# modem; Connect dials phone-sim, the page, the widget and the tray tip show the call, Hang up
# ends it and the session's summary shows the totals phone-sim counted.
#   wizard_search_e2e.sh PATH/TO/Tarvelin.exe PATH/TO/phone-sim [SCREENSHOT-DIR [STAND-INS]]
set -euo pipefail
exe=$1
sim=$2
shots=${3:-$(dirname "$exe")/e2e-wizard}
standins=${4:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"
# shellcheck source=/dev/null
. "$here/tests/e2e/pages.sh"
# shellcheck source=/dev/null
. "$here/scripts/phone-port.sh"
[ -x "$sim" ] || { echo "SKIP: no phone-sim at $sim" >&2; exit 77; }
imei=358368001234563  # its type allocation code is in the catalogue: a Nokia 6230i

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots/calls"
if [ -n "$standins" ]; then
  run_beside_standins "$exe" "$standins"
  use_phone_book
fi
link_phone_sim COM5 "$sim" --imei "$imei" --rate 3000 --stats "$shots/calls" --exit-after 170 ||
  fail "COM5 not linked"
link_phone_sim COM3 "$sim" --silent-after 0 --exit-after 170 || fail "COM3 not linked"
if [ -n "$standins" ]; then
  # A system without modems: the program offers the wizard when it starts.
  standin_modems "$standins" --remove-all
  start_program "$exe" check
  step="start-up on a system without modems -> the offer of the wizard, Yes -> page 8"
  wait_until 30 sh -c "[ \$(xdotool search --onlyvisible --name '^Tarvelin$' | wc -l) -ge 2 ]" ||
    fail "$step: no question"
  import -window root "$shots/startup-question.png"
  win=$(main_window)
  xdotool windowfocus --sync "$(windows | grep -v "^$win$" | head -n 1)" key Return
else
  start_program "$exe"
  expect_frame v--- page-1
  step="Options -> page 4, first choice, Next -> page 8"
  click_at 298 29
  expect_frame -dee page-4
  click_at 38 108
  click_at 370 274
fi
expect_frame -eee page-8

# While searching only the Stop button works; the list box is the page's window-relative
# box 448 x 74 + 18 + 146.
step="page 8, Next -> page 9 searching"
click_at 370 274
expect_frame -dde page-9-searching
step="page 9: the search ends within 90 s"
wait_until 90 frame_shows -eee "$shots/page-9-found.png" ||
  fail "$step: the frame is $(frame_of "$shots/page-9-found.png")"
above "$(dark_share "$shots/page-9-found.png" 18 146 448 74 50)" 0.01 ||
  fail "$step: the list shows nothing"

step="the phone's list item, Next -> page 10"
click_at 100 160
click_at 370 274
# A port without a device description leaves the connection kind to the user: Next waits.
expect_frame -ede page-10
[ "$(page_area "$shots/page-10.png")" != "$(page_area "$shots/page-9-found.png")" ] ||
  fail "$step: the port list is still shown"

# The kind box's list opens below it: an empty first line, then "Кабель".
step="page 10: the connection kind chosen by hand -> Next enabled"
click_at 370 150
click_at 300 181
expect_frame -eee page-10-kind
step="page 10, Next -> page 11 the summary"
click_at 370 274
wait_until 10 frame_shows -eee "$shots/page-11.png" &&
  [ "$(page_area "$shots/page-11.png")" != "$(page_area "$shots/page-10-kind.png")" ] ||
  fail "$step: page 11 is not shown"
if [ -z "$standins" ]; then
  # Installing needs the system's modem installer and dial-up services, which Wine stubs.
  echo "stops at page 11: installation needs the stand-in system services"
else
  step="page 11, Установить -> the modem and its connection are made"
  click_at 370 274
  wait_until 60 sh -c "[ \$(xdotool search --onlyvisible --name '^Tarvelin$' | wc -l) -ge 2 ]" ||
    fail "$step: no message"
  import -window root "$shots/installed.png"
  box=$(windows | grep -v "^$win$" | head -n 1)
  xdotool windowfocus --sync "$box" key Return
  expect_frame v--- page-1-modem
  above "$(dark_share "$shots/page-1-modem.png" 14 66 320 20 50)" 0.02 ||
    fail "$step: the main page lists no modem"
  grep -q '^\[QVT (NOKIA 6230i Cabel, COM5)' "$pbk" && grep -q '^PhoneNumber=\*99#' "$pbk" ||
    fail "$step: the phone book holds no connection: $(cat "$pbk")"
  echo "the connection in $pbk:"
  grep -E '^\[|^(Device|DeviceType|PhoneNumber|UserName)=' "$pbk"
  step="the modem: on COM5, with the operator's init string"
  modem_keys | tee "$shots/modem.txt" | grep -E 'AttachedTo|UserInit|DriverDesc|InfPath'
  grep -Eq 'AttachedTo +REG_SZ +COM5$' "$shots/modem.txt" &&
    grep -Fq 'AT+CGDCONT=1,"IP","internet.qvt"' "$shots/modem.txt" || fail "$step"

  step="Соединить -> phone-sim's call carries data, the page shows it"
  click_at 420 75
  wait_until 30 grep -q '^calls 1' "$shots/calls" 2>/dev/null || {
    import -window root "$shots/no-call.png"
    fail "$step: no call made"
  }
  sleep 6
  import -window "$win" "$shots/page-1-connected-6s.png"
  sleep 2
  import -window "$win" "$shots/page-1-connected.png"
  above "$(awk '/^sent/ {print $2}' "$shots/calls")" 10000 || fail "$step: too little data"
  # The panel's "Весь трафик" counts on: two seconds later it reads otherwise.
  total() { digest "$1" 200x12+284+114; }
  [ "$(total "$shots/page-1-connected-6s.png")" != "$(total "$shots/page-1-connected.png")" ] ||
    fail "$step: the traffic total does not grow"

  step="during the call: the widget window shows the graph's bars"
  widget=$(windows | grep -v "^$win$" | head -n 1)
  [ -n "$widget" ] && [ "$(window_size "$widget")" = 404x94 ] || fail "$step: no widget"
  import -window "$widget" "$shots/widget.png"
  above "$(red_share "$shots/widget.png")" 0.001 || fail "$step: no bars in the graph"
  step="during the call: the tray icon's tip counts one connection"
  tip=$(tray_tip) || fail "$step: no tip under the tray icon"
  import -window "$tip" "$shots/tray-tip.png"
  import -window root "$shots/desktop-during-call.png"
  tip_text=$(read_text "$shots/tray-tip.png" "$(window_size "$tip")+0+0")
  [[ $tip_text == *"Активно подключений: 1"* ]] || fail "$step: the tip reads \"$tip_text\""

  step="Завершить -> the call ends and the session's summary is shown"
  click_at 420 75
  wait_until 20 grep -q '^seconds' "$shots/calls"
  sleep 3
  import -window "$win" "$shots/page-1-summary.png"
  cat "$shots/calls"
  step="the summary's totals are what phone-sim counted"
  received=$(bytes_of "$(read_text "$shots/page-1-summary.png" 228x24+14+160)")
  sent=$(bytes_of "$(read_text "$shots/page-1-summary.png" 228x24+258+160)")
  echo "the summary shows received $received and sent $sent bytes"
  phone_sent=$(awk '/^sent/ {print $2}' "$shots/calls")
  phone_received=$(awk '/^received/ {print $2}' "$shots/calls")
  # The figures are rounded to a tenth of a KB. After the program's last sample the phone
  # sends on at 3,000 bytes a second through the hang-up (a second's quiet, "+++", a
  # second's quiet) and the line carried 200 a second the other way until its quiet began:
  # the program's figures may fall short of the phone's by that much, never more.
  within() { awk -v got="$1" -v phone="$2" -v late="$3" \
    'BEGIN { exit !(got <= phone + 110 && got >= phone - late - 110) }'; }
  within "$received" "$phone_sent" 15000 || fail "$step: received $received, phone sent $phone_sent"
  within "$sent" "$phone_received" 600 || fail "$step: sent $sent, phone received $phone_received"
fi

step="Alt+F4 -> the program ends"
xdotool windowfocus --sync "$win" key alt+F4
wait_for_exit "$program" "$step: the program did not end"
echo "screenshots: $shots"
echo "PASS"
