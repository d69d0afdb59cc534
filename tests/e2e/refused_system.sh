#!/usr/bin/env bash
# End to end under Wine: on a system older than Windows 2000 (Wine told to be NT 4.0 for
# Tarvelin.exe) the program shows the two-line refusal and no main window; a second start
# while that box is open ends at once; after OK the single-instance lock is free again.
#   refused_system.sh PATH/TO/Tarvelin.exe [SCREENSHOT.png]
set -euo pipefail
exe=$1
shot=${2:-$(dirname "$exe")/tarvelin-refused.png}
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"

at_exit forget_wine_version
[ -z "$(windows)" ] || fail "a Tarvelin window is already open"
"$wine_run" reg add "$version_key" /v Version /d nt40 /f >/dev/null

"$wine_run" "$exe" &
first=$!
box=$(wait_for_window)
sleep 1
import -window root "$shot"
echo "screenshot: $shot"
[ "$(window_size "$box")" != 500x300 ] || fail "the main window opened on a refused system"

timeout 30 "$wine_run" "$exe" || fail "a second start during the refusal did not end by itself"
[ "$(windows | wc -l)" -eq 1 ] || fail "the second start opened a window"

xdotool windowfocus --sync "$box"
xdotool key Return
wait_for_exit "$first" "the program did not end after the refusal"

# The lock was given back: on a supported system the program now starts.
forget_wine_version
"$wine_run" "$exe" &
again=$!
win=$(wait_for_window)
[ "$(window_size "$win")" = 500x300 ] || fail "the program did not start after the refusal"
xdotool windowfocus --sync "$win"
xdotool key alt+F4
wait_for_exit "$again" "Alt+F4 did not close the program"
echo "PASS"
