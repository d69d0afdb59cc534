#!/usr/bin/env bash
# Builds and runs every test on this machine:
#   1. native Debug build under AddressSanitizer + UndefinedBehaviorSanitizer: unit and
#      pseudo-terminal integration tests;
#   2. Windows x86_64 build: the same tests as .exe under Wine, the Windows adapter tests and
#      the end-to-end runs of Tarvelin.exe on a virtual display;
#   3. Windows i686 build (build only: 32-bit Wine is not available here).
# Installs what it needs first. JOBS sets the build parallelism (default: the CPU count).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=${JOBS:-$(nproc)}

step() { printf '\n=== %s\n' "$*"; }

step "native build and tests"
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native

step "Windows x86_64 build and tests under Wine"
cmake --preset win64
cmake --build --preset win64 -j "$jobs"
# shellcheck source=/dev/null
. scripts/xvfb-session.sh
scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true  # creates the prefix once, up front
wineserver -p &  # one server for the whole run: each test program then starts in a blink
ctest --preset win64
wineserver -k || true

step "Windows i686 build"
cmake --preset win32
cmake --build --preset win32 -j "$jobs"

step "all tests passed"
