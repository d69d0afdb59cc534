#!/usr/bin/env bash
# End to end under Wine: Tarvelin.exe starts and shows its window, a second start ends at
# once without a window, Alt+F4 closes it, and the position is then in the registry.
#   startup_single_instance.sh PATH/TO/Tarvelin.exe [SCREENSHOT.png]
set -euo pipefail
exe=$1
shot=${2:-$(dirname "$exe")/tarvelin-startup.png}
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"

reg_values() { "$wine_run" reg query 'HKCU\Software\QVT\Tarvelin' 2>/dev/null | tr -d '\r' || true; }

forget_wine_version
"$wine_run" reg delete 'HKCU\Software\QVT\Tarvelin' /f >/dev/null 2>&1 || true
# Wine has no modems: the start-up offer of the setup wizard would hold the window modal.
"$wine_run" reg add 'HKCU\Software\QVT\Tarvelin' /v CheckDeviceConn /t REG_DWORD /d 0 /f \
  >/dev/null
[ -z "$(windows)" ] || fail "a Tarvelin window is already open"

"$wine_run" "$exe" &
first=$!
win=$(wait_for_window)
sleep 1
import -window root "$shot"
echo "screenshot: $shot"

[ "$(window_size "$win")" = 500x300 ] || fail "unexpected window size: $(window_size "$win")"

timeout 30 "$wine_run" "$exe" || fail "the second start did not end by itself"
[ "$(windows | wc -l)" -eq 1 ] || fail "the second start opened a window"

xdotool windowfocus --sync "$win"
xdotool key alt+F4
wait_for_exit "$first" "Alt+F4 did not close the program"

values=$(reg_values)
echo "$values"
echo "$values" | grep -q 'MainFormLeft *REG_DWORD' || fail "MainFormLeft was not stored"
echo "$values" | grep -q 'MainFormTop *REG_DWORD' || fail "MainFormTop was not stored"
# Centred on the 1024 x 768 screen when nothing was stored before.
if [ "$(xdpyinfo | awk '/dimensions:/{print $2}')" = "1024x768" ]; then
  echo "$values" | grep -q 'MainFormLeft *REG_DWORD *0x106' || fail "not opened centred"
fi
echo "PASS"
