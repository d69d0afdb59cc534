#!/usr/bin/env bash
# End to end under Wine: the program updates itself from the operator's address, which a
# local server answers as the prefix's HTTP proxy (the program's own update address is
# unchanged). Page 3 first meets a server without the update information (404): the run
# stops at step 2 with the failure in red. Run again, the information offers the installer
# the build made; the question is answered Yes, the download shows its progress half way,
# the countdown "Перезапуск (… сек)" runs and its button starts the installer at once: the
# program ends and the installer's window appears. The server's log shows the requests in
# order, each with its "?nocache=" value.
#   update_e2e.sh PATH/TO/Tarvelin.exe PATH/TO/Tarvelin-<version>-setup.exe [SCREENSHOT-DIR]
set -euo pipefail
exe=$1
setup=$2
shots=${3:-$(dirname "$exe")/e2e-update}
here=$(cd "$(dirname "$0")/../.." && pwd)
for tool in python3 xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing" >&2; exit 77; }
done
[ -f "$setup" ] || { echo "SKIP: no installer (makensis is missing)" >&2; exit 77; }
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"
# shellcheck source=/dev/null
. "$here/tests/e2e/pages.sh"
internet='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
name=$(basename "$setup")

# The program runs from a folder of its own, where it stores the installer it downloads.
program_dir=$(mktemp -d)
at_exit "rm -rf '$program_dir'"
mkdir -p "$shots"
rm -rf "$shots"/*.png "$shots/server"
mkdir "$shots/server"
cp "$exe" "$program_dir/Tarvelin.exe"
log=$shots/server/requests.log
release=$shots/server/release
python3 "$here/tests/e2e/update_server.py" --installer "$setup" --log "$log" \
  --port-file "$shots/server/port" --release "$release" --fail-first-info &
server=$!
at_exit "kill $server 2>/dev/null"
wait_until 10 test -s "$shots/server/port" || fail "the update server did not start"

# The prefix's proxy for this run; the values found are put back at the end.
internet_value() {
  "$wine_run" reg query "$internet" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n {$1 = ""; sub(/^ +/, ""); print}'
}
restore_value() {  # restore_value NAME "TYPE DATA" (empty: the value did not exist)
  if [ -n "$2" ]; then
    "$wine_run" reg add "$internet" /v "$1" /t "${2%% *}" /d "${2#* }" /f >/dev/null
  else
    "$wine_run" reg delete "$internet" /v "$1" /f >/dev/null 2>&1
  fi
}
for value in ProxyEnable ProxyServer; do
  at_exit "restore_value $value '$(internet_value $value)'"
done
"$wine_run" reg add "$internet" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null
"$wine_run" reg add "$internet" /v ProxyServer /d "127.0.0.1:$(cat "$shots/server/port")" /f \
  >/dev/null

# The installer's window: the visible window of the program started from the update.
installer_window() { xdotool search --onlyvisible --name 'Tarvelin' 2>/dev/null | grep -vxF -f <(windows; echo none) | head -n 1 || true; }
installer_shown() { [ -n "$(installer_window)" ]; }
installer_pid=
at_exit '[ -z "$installer_pid" ] || kill "$installer_pid" 2>/dev/null'

# Page 3's parts, relative to the window: step n's tick, the strip, the
# information line and the update button.
tick_shown() { above "$(dark_share "$1" 26 $((96 + 16 * $2)) 16 16 60)" 0.05; }
# How far the progress strip is drawn: its rightmost red column as a share of its width.
strip_extent() {
  convert "$1" -crop 463x12+19+199 +repage -fx 'r > 0.8 && g < 0.3 && b < 0.3 ? 1 : 0' \
    -bordercolor black -border 1 -trim -format '%[fx:(page.x + w - 1) / 463]' info: 2>/dev/null || echo 0
}
info_red() { above "$(red_share "$1" 18 216 318 32)" 0.005; }
button_digest() { digest "$1" 137x25+346+218; }
steps_of() {  # the ticks shown, e.g. 11000
  local n out=
  for n in 1 2 3 4 5; do
    if tick_shown "$1" "$n"; then out+=1; else out+=0; fi
  done
  echo "$out"
}
shot() { import -window "$win" "$shots/$1.png" 2>/dev/null; }
# Takes WINDOW's screenshot into FILE; true once it shows some text.
painted() {
  import -window "$1" "$2" 2>/dev/null && above "$(dark_share "$2" 0 0 1000 1000 25)" 0.002
}
press_update() { click_at 414 230; }

start_program "$program_dir/Tarvelin.exe"
expect_frame v--- page-1
step="Update toolbar button -> page 3"
click_at 350 29
expect_frame v--e page-3
[ "$(steps_of "$shots/page-3.png")" = 00000 ] || fail "$step: steps ticked before a run"

step="Обновить приложение, no update information on the server -> failure at step 2"
press_update
failed() { shot info-404 && info_red "$shots/info-404.png"; }
wait_until 20 failed || fail "$step: no failure shown"
expect_frame v--e info-404
[ "$(steps_of "$shots/info-404.png")" = 11000 ] ||
  fail "$step: steps $(steps_of "$shots/info-404.png"), expected 11000"

step="Обновить приложение again -> the question"
press_update
question_window() { xdotool search --onlyvisible --name '^Обновление приложения$' 2>/dev/null | head -n 1 || true; }
question_shown() { [ -n "$(question_window)" ]; }
wait_until 20 question_shown || fail "$step: no question"
question=$(question_window)
wait_until 10 painted "$question" "$shots/question.png" || fail "$step: the question shows no text"
shot steps-before-download
[ "$(steps_of "$shots/steps-before-download.png")" = 11110 ] ||
  fail "$step: steps $(steps_of "$shots/steps-before-download.png"), expected 11110"

step="Yes -> the download, half way"
xdotool windowfocus --sync "$question" key Return
wait_until 20 grep -qx HALF "$log" || fail "$step: the installer was not asked for"
half_drawn() {
  shot download-half && above "$(strip_extent "$shots/download-half.png")" 0.2
}
wait_until 10 half_drawn || fail "$step: no progress drawn"
share=$(strip_extent "$shots/download-half.png")
above 0.7 "$share" || fail "$step: the strip is $share full while half was sent"
touch "$release"

step="the download complete -> the restart offered, Close disabled"
expect_frame v--d downloaded
[ "$(steps_of "$shots/downloaded.png")" = 11111 ] || fail "$step: not all steps ticked"
above "$(strip_extent "$shots/downloaded.png")" 0.95 || fail "$step: the strip is not full"
! info_red "$shots/downloaded.png" || fail "$step: a failure is shown"
cmp -s "$setup" "$program_dir/$name" || fail "$step: the stored installer differs"
[ -z "$(find "$program_dir" -name '~*')" ] || fail "$step: files left: $(ls "$program_dir")"

step="the countdown runs"
counting() {
  shot countdown && [ "$(button_digest "$shots/countdown.png")" != "$(button_digest "$shots/downloaded.png")" ]
}
wait_until 5 counting || fail "$step: the button's caption did not change"

step="Перезапуск -> the installer starts at once and the program ends"
press_update
# The countdown still has more than 15 seconds to run: an end before that is the button's.
program_ended() { ! kill -0 "$program" 2>/dev/null; }
wait_until 10 program_ended || fail "$step: the program did not end"
wait_until 30 installer_shown || fail "$step: no installer window"
installer_pid=$(xdotool getwindowpid "$(installer_window)")
started=$(tr '\0' ' ' <"/proc/$installer_pid/cmdline")
# Wine names the process by the Windows path of the file it runs: the downloaded one.
grep -qiF "\\$(basename "$program_dir")\\$name" <<<"$started" || fail "$step: the installer runs from $started"
wait_until 10 painted "$(installer_window)" "$shots/installer.png" ||
  fail "$step: the installer shows no text"

step="the server's log: the information twice, then the installer, each with ?nocache="
nocache='\?nocache=[0-9]+ '
expected=("GET http://www.qvt.example(:80)?/live/downloadtxt.aspx$nocache""404"
  "GET http://www.qvt.example(:80)?/live/downloadtxt.aspx$nocache""200"
  "GET http://www.qvt.example(:80)?/live/$name$nocache""200" HALF)
mapfile -t requests <"$log"
[ "${#requests[@]}" = "${#expected[@]}" ] || fail "$step: $(cat "$log")"
for i in "${!expected[@]}"; do
  [[ "${requests[$i]}" =~ ^${expected[$i]}$ ]] || fail "$step: line $((i + 1)): ${requests[$i]}"
done
echo "screenshots: $shots"
echo "PASS"
