# Shared by the end-to-end scripts (sourced): Wine, a display, and window helpers.
# Expects $here to be the repository root.
wine_run="$here/scripts/wine-run.sh"
# shellcheck source=/dev/null
. "$here/scripts/xvfb-session.sh"
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tarvelin}"
# The test command gives each of its runs one screenshot folder, TARVELIN_SCREENSHOTS: a
# journey's screenshots ($shots, or the single $shot) then go there, under the name of the
# journey's own default folder or file.
if [ -n "${TARVELIN_SCREENSHOTS:-}" ]; then
  mkdir -p "$TARVELIN_SCREENSHOTS"
  [ -z "${shots:-}" ] || shots="$TARVELIN_SCREENSHOTS/$(basename "$shots")"
  [ -z "${shot:-}" ] || shot="$TARVELIN_SCREENSHOTS/$(basename "$shot")"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
# Ids of the visible top-level windows titled exactly "Tarvelin" (the main window and the
# program's message boxes).
windows() { xdotool search --onlyvisible --name '^Tarvelin$' 2>/dev/null || true; }
wait_for_window() {  # wait_for_window: prints the first window's id, fails after 30 s
  for _ in $(seq 300); do
    local w
    w=$(windows | head -n 1)
    if [ -n "$w" ]; then echo "$w"; return 0; fi
    sleep 0.1
  done
  fail "no Tarvelin window appeared"
}
wait_for_exit() {  # wait_for_exit PID WHAT
  for _ in $(seq 200); do kill -0 "$1" 2>/dev/null || { wait "$1" || true; return 0; }; sleep 0.1; done
  fail "$2"
}
window_size() { xdotool getwindowgeometry "$1" | tr -d '\r' | awk '/Geometry:/{print $2}'; }
# Wine's per-program Windows version for Tarvelin.exe (a journey may pretend an old system).
version_key='HKCU\Software\Wine\AppDefaults\Tarvelin.exe'
forget_wine_version() { "$wine_run" reg delete "$version_key" /f >/dev/null 2>&1 || true; }
# Gives the stand-in dial-up service a phone book of its own for this run: the prefix's
# rasphone.pbk is put aside, replaced by CONTENT (none: empty), and put back at the end.
# Sets $pbk to the file.
use_phone_book() {
  local appdata folder
  appdata=$("$wine_run" cmd /c echo %APPDATA% | tr -d '\r')
  folder="$("$wine_run" winepath -u "$appdata" | tr -d '\r')/Microsoft/Network/Connections/Pbk"
  mkdir -p "$folder"
  pbk="$folder/rasphone.pbk"
  if [ -f "$pbk" ]; then
    mv "$pbk" "$pbk.aside"
    at_exit "mv '$pbk.aside' '$pbk'"
  else
    at_exit "rm -f '$pbk'"
  fi
  printf '%s' "${1:-}" >"$pbk"
}
# Runs standin-install-modem of the folder STAND-INS (beside its stand-in newdev.dll).
standin_modems() {
  local dir=$1
  shift
  WINEDLLOVERRIDES="mscoree,mshtml=;newdev=n" "$wine_run" "$dir/standin-install-modem.exe" "$@" |
    tr -d '\r'
}
# Gives the prefix the cable modem of tests/e2e/modem.inf on PORT (default COM5), and no
# other modem, through the program's own hardware layer (standin-install-modem beside the
# stand-in newdev.dll in STAND-INS); prints its friendly name, "Nokia 6230i Cabel".
install_test_modem() {
  standin_modems "$1" --remove-all >/dev/null
  standin_modems "$1" "$("$wine_run" winepath -w "$here/tests/e2e/modem.inf" | tr -d '\r')" \
    "${2:-COM5}" 'TARVELIN\CABLE_6230I'
}
# Copies the program EXE beside the stand-in libraries of the folder STAND-INS into a
# folder of its own (gone at the end) and has Wine load them instead of its own: sets $exe to
# the copy.
run_beside_standins() {
  local folder
  folder=$(mktemp -d)
  at_exit "rm -rf '$folder'"
  cp "$1" "$2"/*.dll "$folder/"
  exe="$folder/$(basename "$1")"
  export WINEDLLOVERRIDES="mscoree,mshtml=;rasapi32,rasdlg,newdev=n"
}
# The driver keys of the prefix's modems with their values, as `reg query` prints them.
modem_keys() {
  "$wine_run" reg query \
    'HKLM\System\CurrentControlSet\Control\Class\{4D36E96D-E325-11CE-BFC1-08002BE10318}' /s \
    2>/dev/null | tr -d '\r'
}
