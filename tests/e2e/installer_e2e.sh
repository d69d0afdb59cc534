#!/usr/bin/env bash
# The installer under Wine, silently: Tarvelin.exe lands in the
# user's own programs folder with its shortcut and its Add/Remove Programs entry, and the
# silent uninstaller takes all of it away again, the logon autostart value included.
#   installer_e2e.sh PATH/TO/Tarvelin-<version>-setup.exe
set -euo pipefail
setup=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=/dev/null
. "$here/tests/e2e/lib.sh"
wine=("$here/scripts/wine-run.sh")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelin'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# The folder Windows gives for a Windows path, in Unix form.
unix_path() { "${wine[@]}" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
reg_value() { "${wine[@]}" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {$1=$2=""; sub(/^ +/, ""); print}'; }

"${wine[@]}" "$setup" /S || fail "the silent setup failed"
wineserver -w
location=$(reg_value InstallLocation)
[ -n "$location" ] || fail "no uninstall entry under $key"
[ "$(reg_value DisplayName)" = Tarvelin ] || fail "the entry is not named Tarvelin"
case "$location" in *\\Programs\\Tarvelin) ;; *) fail "installed into $location" ;; esac
folder=$(unix_path "$location")
[ -s "$folder/Tarvelin.exe" ] || fail "no Tarvelin.exe in $folder"
[ -f "$folder/uninstall.exe" ] || fail "no uninstaller in $folder"

"${wine[@]}" reg add "$run_key" /v Tarvelin /d "\"$location\\Tarvelin.exe\"" /f >/dev/null
"${wine[@]}" "$folder/uninstall.exe" /S || fail "the silent uninstall failed"
wineserver -w
# The uninstaller works from a copy of itself that outlives the command.
for _ in $(seq 100); do
  [ -e "$folder/Tarvelin.exe" ] || [ -n "$(reg_value InstallLocation)" ] || break
  sleep 0.1
done
[ ! -e "$folder/Tarvelin.exe" ] || fail "Tarvelin.exe stayed after the uninstall"
[ -z "$(reg_value InstallLocation)" ] || fail "the uninstall entry stayed"
if "${wine[@]}" reg query "$run_key" /v Tarvelin >/dev/null 2>&1; then
  fail "the autostart value stayed"
fi
echo "installed into $location and removed again"
