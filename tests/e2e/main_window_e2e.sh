#!/usr/bin/env bash
# End to end under Wine, driven with the mouse only: the toolbar's Options, About and Update
# buttons, the four choices of the options menu with Next, Back and Close, minimising into
# the notification area, the tray icon's double click and its menu's "Выйти".
#   main_window_e2e.sh PATH/TO/Tarvelin.exe [SCREENSHOT-DIR]
# Pages are told apart by their frame: which of the version labels and the Back / Next /
# Close buttons are shown, and whether a button is enabled (black caption) or not (grey).
set -euo pipefail
exe=$1
shots=${2:-$(dirname "$exe")/e2e-main-window}
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"
# shellcheck source=/dev/null
. "$here/tests/e2e/pages.sh"

# Something is drawn where the icon sits, at the left end of Wine's own tray window.
tray_icon_shown() {
  local tray
  tray=$(tray_window)
  [ -n "$tray" ] && import -window "$tray" "$shots/.tray.png" 2>/dev/null &&
    above "$(convert "$shots/.tray.png" -crop 20x20+0+0 -format '%[fx:standard_deviation]' info:)" 0.05
}
click_tray() {
  local X Y
  tray_icon_shown || fail "$step: no tray icon"
  eval "$(xdotool getwindowgeometry --shell "$(tray_window)" | tr -d '\r' | grep -E '^(X|Y)=')"
  xdotool mousemove --sync $((X + 10)) $((Y + 10)) click "$@"
}
# The program's visible windows (Wine names each X window's class after the program).
program_windows() { xdotool search --onlyvisible --class '^tarvelin\.exe$' 2>/dev/null | sort || true; }
no_window() { [ -z "$(windows)" ]; }
some_window() { [ -n "$(windows)" ]; }

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots/.tray.png"
start_program "$exe"
expect_frame v--- page-1
expect [ "$(window_size "$win")" = 500x300 ]

step="Options toolbar button -> page 4"
click_at 298 29
expect_frame -dee page-4
options=$(page_area "$shots/page-4.png")

# Each choice of the options menu, with the page it leads to and the way back.
choices=("0 8 -eee back" "1 7 v--e close" "2 5 v--e close" "3 6 v--e close")
for choice in "${choices[@]}"; do
  read -r index page frame way <<<"$choice"
  step="option $index, Next -> page $page"
  click_at $((6 + 32)) $((58 + 50 + 30 * index))
  click_at 370 274
  expect_frame "$frame" "page-$page"
  area=$(page_area "$shots/page-$page.png")
  [ "$area" != "$options" ] || fail "$step: the options menu is still shown"
  if [ "$way" = back ]; then
    step="page $page, Back -> page 4"
    click_at 286 274
    expect_frame -dee page-4
  else
    step="page $page, Close -> page 1"
    click_at 454 274
    expect_frame v--- page-1
    step="Options toolbar button -> page 4 again"
    click_at 298 29
    expect_frame -dee page-4
  fi
done
step="Close on page 4 -> page 1"
click_at 454 274
expect_frame v--- page-1

# The About and Update toolbar buttons, each page closed again.
for button in "402 2" "350 3"; do
  read -r x page <<<"$button"
  step="toolbar button at $x -> page $page"
  click_at "$x" 29
  expect_frame v--e "page-$page"
  [ "$(page_area "$shots/page-$page.png")" != "$(page_area "$shots/page-1.png")" ] ||
    fail "$step: the page area did not change"
  step="page $page, Close -> page 1"
  click_at 454 274
  expect_frame v--- page-1
done

step="minimise button -> the window goes to the tray"
click_at 460 16
wait_until 15 no_window || fail "$step: the window is still visible"
tray_icon_shown || fail "$step: no tray icon"

step="double click on the tray icon -> the window is back"
click_tray --repeat 2 --delay 80 1
wait_until 15 some_window || fail "$step: the window did not come back"
win=$(windows | head -n 1)
expect_frame v--- page-1

step="right click on the tray icon -> the menu"
before=$(program_windows)
click_tray 3
menu_window() { comm -13 <(echo "$before") <(program_windows) | head -n 1; }
menu_shown() { [ -n "$(menu_window)" ]; }
wait_until 10 menu_shown || true
menu=$(menu_window)
[ -n "$menu" ] || fail "$step: no menu window appeared"
menu_painted() {
  import -window "$menu" "$shots/tray-menu.png" 2>/dev/null &&
    above "$(dark_share "$shots/tray-menu.png" 0 0 1000 1000 25)" 0.01
}
wait_until 5 menu_painted || fail "$step: the menu shows no text"

step="\"Выйти\" -> the program ends"
eval "$(xdotool getwindowgeometry --shell "$menu" | tr -d '\r' | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 10)) click 1
wait_for_exit "$program" "$step: the program did not end"

step="the header stays on every page"
for shot in "$shots"/page-*.png; do
  [ "$(header "$shot")" = "$(header "$shots/page-1.png")" ] || fail "$step: $shot differs"
done
rm -f "$shots/.tray.png"
echo "screenshots: $shots"
echo "PASS"
