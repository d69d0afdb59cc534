#!/usr/bin/env bash
# Sourced by the demo and test scripts: makes sure an X display exists. Without one it
# starts Xvfb on a free display number and exports DISPLAY; the server ends with the
# script that sourced this file. Scripts add their own clean-up with at_exit COMMAND.
tarvelin_exit_hooks=()
at_exit() { tarvelin_exit_hooks+=("$1"); }
# The hooks run last first, so what was set up on the display goes before the display.
tarvelin_run_exit_hooks() {
  local i
  for ((i = ${#tarvelin_exit_hooks[@]} - 1; i >= 0; i--)); do
    eval "${tarvelin_exit_hooks[i]}" || true
  done
}
trap tarvelin_run_exit_hooks EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    TARVELIN_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    at_exit 'kill "$TARVELIN_XVFB_PID" 2>/dev/null'
    break
  done
fi
