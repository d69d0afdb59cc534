#!/usr/bin/env bash
# The demo. Builds Tarvelin.exe, the stand-ins of the system's dial-up and driver services and
# phone-sim, then runs the program under Wine beside the stand-ins, with phone-sim on COM5 (a
# phone the driver catalogue knows, which answers calls and carries traffic) and a silent
# port on COM3.
#   With a display the program opens with the phone ready to be found: walk the journey by
#   hand (the options button, "Добавить новое устройство", Next ... Install, then Connect).
#   Without one the automated journey runs on a virtual display (Xvfb): the start-up offer
#   of the wizard on a system without modems, the search, the installation, a call with its
#   live traffic, the hang-up and its summary. The folder of its screenshots is printed.
# WINEPREFIX chooses the Wine prefix (default ~/.wine-tarvelin); JOBS the build parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
scripts/install-deps.sh
jobs=${JOBS:-$(nproc)}
cmake --preset native >/dev/null
cmake --build --preset native --target phone-sim -j "$jobs"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs" --target Tarvelin standin_rasapi32 standin_rasdlg \
  standin_newdev standin-install-modem
exe=build/win64/src/app/Tarvelin.exe
sim=build/native/tools/phone-sim/phone-sim
standins=build/win64/standins

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  shots="$here/build/win64/screenshots/demo-$(date +%Y%m%d-%H%M%S)"
  TARVELIN_SCREENSHOTS=$shots bash tests/e2e/wizard_search_e2e.sh "$exe" "$sim" \
    "build/win64/e2e-wizard" "$standins"
  echo "screenshots of the journey: $shots/e2e-wizard"
  exit
fi

# shellcheck source=/dev/null
. tests/e2e/lib.sh
# shellcheck source=/dev/null
. scripts/phone-port.sh
run_beside_standins "$exe" "$standins"
# The tests turn the start-up offer of the wizard off; the demo has it on, as by default.
"$wine_run" reg add 'HKCU\Software\QVT\Tarvelin' /v CheckDeviceConn /t REG_DWORD /d 1 /f \
  >/dev/null
link_phone_sim COM5 "$sim" --imei 358368001234563 --rate 3000
link_phone_sim COM3 "$sim" --silent-after 0
"$wine_run" "$exe"
