#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix. CTest uses it as the
# cross-compiling emulator, the demo scripts to start Tarvelin.exe.
#   WINEPREFIX             the prefix (default: ~/.wine-tarvelin); created on first use
#   TARVELIN_WINE_LOCALE   the locale Wine runs in (default ru_RU.UTF-8: a Russian system
#                          with the Windows-1251 ANSI code page, as the program's users have)
set -euo pipefail
locale=${TARVELIN_WINE_LOCALE:-ru_RU.UTF-8}
if locale -a 2>/dev/null | grep -qi "^${locale%%.*}\.utf-\?8$"; then
  export LANG="$locale" LC_ALL="$locale"
fi
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko install dialogs: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Two test processes may both find the prefix missing; only one may build it.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  flock -u 9
fi
exec wine "$@"
