#!/usr/bin/env bash
# Builds Tarvelin.exe and starts it under Wine. With a display the program simply runs;
# without one it runs on a virtual display (Xvfb), a screenshot is saved and its path
# printed, and the program is then closed the way a user would (Alt+F4).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Tarvelin -j "${JOBS:-$(nproc)}"
# The phone simulator runs natively; the wizard finds it on COM5.
cmake --preset native >/dev/null
cmake --build --preset native --target phone-sim -j "${JOBS:-$(nproc)}"
exe=build/win64/src/app/Tarvelin.exe
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"
wine_run=scripts/wine-run.sh

has_display=
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && has_display=1
# shellcheck source=/dev/null
. scripts/xvfb-session.sh
# shellcheck source=/dev/null
. scripts/phone-port.sh
# A phone the catalogue knows, ended with this script.
link_phone_sim COM5 build/native/tools/phone-sim/phone-sim --imei 358368001234563
if [ -n "$has_display" ]; then
  scripts/wine-run.sh "$exe"
  exit
fi
scripts/wine-run.sh "$exe" &
program=$!
for _ in $(seq 300); do xdotool search --name '^Tarvelin$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
shot=$(pwd)/build/win64/tarvelin-screenshot.png
import -window root "$shot"
echo "screenshot: $shot"
# A message box (the start-up offer of the setup wizard on a system without modems) is closed
# first, then the window; whatever is still running after that is ended.
for _ in $(seq 10); do
  kill -0 "$program" 2>/dev/null || break
  win=$(xdotool search --onlyvisible --name '^Tarvelin$' | tail -n 1 || true)
  [ -n "$win" ] && xdotool windowfocus --sync "$win" key alt+F4 2>/dev/null || true
  sleep 1
done
kill "$program" 2>/dev/null || true
wait "$program" || true
# Wine's helper processes on the virtual display end with it, quietly.
WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}" wineserver -k 2>/dev/null || true
