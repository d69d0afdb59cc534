#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, fuzz, benchmark and
# demonstrate Tarvelin. Safe to run again: packages already present are skipped, and the
# package index is refreshed at most once per run.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 binutils-mingw-w64
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev libfuzzer-14-dev clang-format
  zlib1g-dev libdeflate-dev libgcrypt20-dev
  wine wine64 xvfb xdotool imagemagick librsvg2-bin x11-utils
  tesseract-ocr tesseract-ocr-rus
  nsis
  locales
)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${PACKAGES[@]}"; do
  if ! installed "$p"; then missing+=("$p"); fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# 32-bit Wine runs the i686 test programs. It needs the i386 architecture and that
# architecture's package index; an index that fails to download is fetched again. When 32-bit
# Wine still cannot be installed, the rest goes on and scripts/test.sh reports the i686 tests
# as not run.
install_wine32() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  local attempt log
  log=$(mktemp)
  for attempt in 1 2 3 4; do
    # apt-get exits 0 on some download failures, so its messages are read as well.
    if $SUDO apt-get update -qq >"$log" 2>&1 && ! grep -qE '^(W|E): (Failed to fetch|Some index files)' "$log"; then
      break
    fi
    cat "$log" >&2
    echo "package index incomplete (attempt $attempt of 4); fetching it again" >&2
    sleep $((attempt * 5))
  done
  rm -f "$log"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 ||
    true
  if ! installed wine32:i386; then
    echo "WARNING: 32-bit Wine (wine32:i386) could not be installed: the i686 tests will not run" >&2
  fi
}
if ! installed wine32:i386; then install_wine32; fi

# Russian texts are checked against the ru_RU.UTF-8 locale in some tests.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
