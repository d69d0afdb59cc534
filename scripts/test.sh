#!/usr/bin/env bash
# Builds and runs every test on this machine:
#   1. native Debug build under AddressSanitizer + UndefinedBehaviorSanitizer: unit and
#      pseudo-terminal integration tests;
#   2. Windows x86_64 build: the same tests as .exe under Wine, the Windows adapter tests and
#      the end-to-end runs of Tarvelin.exe on a virtual display;
#   3. Windows i686 build: the Windows adapter tests, the stand-ins' and the program's start-up
#      journeys under 32-bit Wine, in the same prefix (the portable logic's tests ran in
#      stages 1 and 2, the long journeys through the window in stage 2). It is built at low
#      priority while stage 2's tests run, which mostly wait on Wine and the virtual display.
# Each Windows build also checks that its programs import only what Windows 2000 has.
# Installs what it needs first. JOBS sets the build parallelism (default: the CPU count).
# Exits 3 when everything that ran passed but the i686 tests could not run (no 32-bit Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=${JOBS:-$(nproc)}
# Each run keeps the journeys' screenshots in a folder of its own under each Windows build.
run=$(date +%Y%m%d-%H%M%S)

step() { printf '\n=== %s\n' "$*"; }

# A build folder first configured with the POSIX-threads compilers keeps them in its cache;
# it is configured afresh for the preset's compilers.
configure() {
  local fresh=()
  if grep -qs -- '-posix"' "build/$1"/CMakeFiles/*/CMakeCXXCompiler.cmake; then fresh=(--fresh); fi
  cmake --preset "$1" "${fresh[@]}"
}

step "native build and tests"
configure native
cmake --build --preset native -j "$jobs"
ctest --preset native

# Runs one Windows preset's tests under a Wine server of their own: started fresh (with the
# prefix created up front) and kept for the run, so each test program starts in a blink, then
# ended, so that nothing of one run's server and helpers reaches the next.
wine_tests() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w || true
  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  wineserver -p &
  local status=0
  TARVELIN_SCREENSHOTS="$PWD/build/$1/screenshots/$run" ctest --preset "$@" || status=$?
  echo "screenshots of the journeys: build/$1/screenshots/$run"
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w || true
  return "$status"
}

step "Windows x86_64 build and tests under Wine"
configure win64
cmake --build --preset win64 -j "$jobs"
step "Windows i686 build started in the background (build/win32-build.log)"
configure win32
nice -n 19 cmake --build --preset win32 -j "$jobs" >build/win32-build.log 2>&1 &
win32_build=$!
# shellcheck source=/dev/null
. scripts/xvfb-session.sh
at_exit "pkill -P $win32_build 2>/dev/null; kill $win32_build 2>/dev/null"
wine_tests win64

step "Windows i686 build and tests under 32-bit Wine"
if ! wait "$win32_build"; then
  tail -n 60 build/win32-build.log
  echo "the i686 build failed" >&2
  exit 1
fi
tail -n 3 build/win32-build.log
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  # The long mouse-driven journeys run in the x86_64 stage only; here the 32-bit program's
  # start-up journeys, its adapters' tests and the stand-ins' run.
  wine_tests win32 -E '^e2e_(main_window|wizard_search|options)$'
else
  cat >&2 <<'BANNER'

##########################################################################################
##  THE i686 (32-bit) WINDOWS TESTS DID NOT RUN: 32-bit Wine (wine32:i386) is missing.  ##
##  scripts/install-deps.sh could not install it; see its messages above.               ##
##########################################################################################
BANNER
  step "NOT all tests ran: native and x86_64 tests passed, the i686 tests did not run"
  exit 3
fi

step "all tests passed"
