#!/usr/bin/env bash
# End to end under Wine: the options pages and the connection editor. The program runs from
# a folder of its own beside the stand-in dial-up libraries, whose phone book is written
# first with one connection over a modem. A click on the tray box of page 5 is stored in the
# registry, as `reg query` shows; page 6 (modems) and page 7 (connections) are shown, the
# connection is chosen on page 7 and "Изменить настройки" opens the connection editor.
#   options_e2e.sh PATH/TO/Tarvelin.exe STAND-IN-FOLDER [SCREENSHOT-DIR]
set -euo pipefail
exe=$1
standins=$2
shots=${3:-$(dirname "$exe")/e2e-options}
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"
# shellcheck source=/dev/null
. "$here/tests/e2e/pages.sh"
[ -f "$standins/rasapi32.dll" ] || { echo "SKIP: no stand-ins in $standins" >&2; exit 77; }
entry="QVT (Nokia 6230i Cabel, COM5)"
settings='HKCU\Software\QVT\Tarvelin'

mkdir -p "$shots/program"
rm -f "$shots"/*.png
cp "$exe" "$standins/rasapi32.dll" "$standins/rasdlg.dll" "$shots/program/"
export WINEDLLOVERRIDES="mscoree,mshtml=;rasapi32,rasdlg=n"
use_phone_book "$(printf '[%s]\r\nEncoding=1\r\nType=1\r\nDeviceType=modem\r\nDevice=Nokia 6230i Cabel\r\nPhoneNumber=*99#\r\nUserName=gprs\r\n' "$entry")"
tray_setting() { "$wine_run" reg query "$settings" /v Tray 2>/dev/null | tr -d '\r' | awk '$1 == "Tray" {print $3}'; }
"$wine_run" reg add "$settings" /v Tray /t REG_DWORD /d 1 /f >/dev/null

start_program "$shots/program/Tarvelin.exe"
expect_frame v--- page-1
# Choice 2 of the options menu is page 5, 1 is page 7, 3 is page 6.
open_choice() {
  click_at 298 29
  expect_frame -dee "page-4-$1"
  click_at 38 $((108 + 30 * $1))
  click_at 370 274
}

step="page 5: the tray box unticked -> Tray is 0 in the registry"
open_choice 2
expect_frame v--e page-5
click_at 36 105
wait_until 10 sh -c "[ \"\$(\"$wine_run\" reg query '$settings' /v Tray 2>/dev/null | tr -d '\r' | awk '\$1 == \"Tray\" {print \$3}')\" = 0x0 ]" ||
  fail "$step: Tray is $(tray_setting)"
# The tray mode is applied at once; Wine repaints the window a moment later.
sleep 3
import -window "$win" "$shots/page-5-tray-off.png"
click_at 454 274
expect_frame v--- page-1-again

step="page 6: the modems"
open_choice 3
expect_frame v--e page-6
click_at 454 274
expect_frame v--- page-1-after-6

step="page 7: the connection listed"
open_choice 1
expect_frame v--e page-7
above "$(dark_share "$shots/page-7.png" 18 80 278 40 50)" 0.01 || fail "$step: the list is empty"
step="page 7: the connection chosen, Изменить настройки -> the editor"
click_at 100 95
sleep 1
click_at 397 146
editor=
for _ in $(seq 100); do
  editor=$(xdotool search --onlyvisible --name '^Изменение настроек соединения$' 2>/dev/null | head -n 1 || true)
  [ -n "$editor" ] && break
  sleep 0.1
done
[ -n "$editor" ] || { import -window root "$shots/no-editor.png"; fail "$step: no editor window"; }
sleep 2  # the groups load a moment after the window shows
import -window "$editor" "$shots/editor.png"
echo "editor: $(window_size "$editor")"
step="the editor's Отменить -> the editor closes"
eval "$(xdotool getwindowgeometry --shell "$editor" | tr -d '\r' | grep -E '^(X|Y)=')"
xdotool mousemove --sync $((X + 430)) $((Y + 561)) click 1
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^Изменение настроек соединения$' >/dev/null 2>&1 || break
  sleep 0.1
done
! xdotool search --onlyvisible --name '^Изменение настроек соединения$' >/dev/null 2>&1 ||
  fail "$step: the editor is still open"

step="Alt+F4 -> the program ends"
xdotool windowfocus --sync "$win" key alt+F4
wait_for_exit "$program" "$step: the program did not end"
echo "screenshots: $shots"
echo "PASS"
