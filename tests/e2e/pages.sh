# Shared by the end-to-end scripts that walk the main window's pages (sourced after lib.sh):
# clicks relative to the window, the page frame read from screenshots, and the start-up.
# Uses $win (the main window), $shots (the screenshot folder) and $step (for failures).
step=start
expect() { "$@" || fail "$step: $*"; }

# Polls CONDITION... every 0.1 s for at most SECONDS.
wait_until() {
  local limit=$1
  shift
  for _ in $(seq $((limit * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

win=
geometry() { xdotool getwindowgeometry --shell "$win" | tr -d '\r'; }
# Moves the mouse to (X, Y) relative to the window's top-left corner and presses BUTTON.
# mousemove --sync waits for the pointer to move: one already there is clicked where it is.
click_at() {
  local X Y
  eval "$(geometry | grep -E '^(X|Y)=')"
  local x=$((X + $1)) y=$((Y + $2))
  if [ "$(xdotool getmouselocation --shell | grep -E '^(X|Y)=' | tr '\n' ' ')" = "X=$x Y=$y " ]; then
    xdotool click "${3:-1}"
  else
    xdotool mousemove --sync "$x" "$y" click "${3:-1}"
  fi
}

# The share of pixels darker than LEVEL % grey in the window-relative box W x H + X + Y.
dark_share() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold "$6%" -format '%[fx:1-mean]' info:
}
above() { awk -v v="$1" -v t="$2" 'BEGIN { exit !(v > t) }'; }
# A common button's state: "-" hidden, "d" shown disabled, "e" shown enabled. The inside of
# the button (its caption) is probed: black text when enabled, only grey when disabled.
button_state() {
  local file=$1 left=$2
  if above "$(dark_share "$file" $((left + 4)) 266 72 16 25)" 0.01; then
    echo e
  elif above "$(dark_share "$file" "$left" 262 80 24 70)" 0.05; then
    echo d
  else
    echo -
  fi
}
# The frame of the page in FILE: version labels (v or -), then Back, Next and Close.
frame_of() {
  local labels=-
  above "$(dark_share "$1" 10 258 140 30 50)" 0.01 && labels=v
  printf '%s\n' "$labels$(button_state "$1" 246)$(button_state "$1" 330)$(button_state "$1" 414)"
}
frame_shows() {  # frame_shows FRAME FILE: takes a fresh screenshot into FILE and compares
  import -window "$win" "$2" 2>/dev/null && [ "$(frame_of "$2")" = "$1" ]
}
# Takes the page's screenshot once its frame is FRAME (10 s at most).
expect_frame() {
  local frame=$1 name=$2
  wait_until 10 frame_shows "$frame" "$shots/$name.png" ||
    fail "$step: the frame is $(frame_of "$shots/$name.png"), expected $frame"
}
# A digest of the box GEOMETRY of FILE: pages of equal frames differ in their page area,
# all pages share the header's logo and title.
digest() { convert "$1" -crop "$2" +repage -format '%#' info:; }
page_area() { digest "$1" 489x194+6+58; }
header() { digest "$1" 160x52+6+4; }

# Starts EXE with the start-up offer of the setup wizard turned off (Wine has no modems: the
# offer would hold the window modal); sets $program and $win once the window is shown.
start_program() {
  forget_wine_version
  "$wine_run" reg add 'HKCU\Software\QVT\Tarvelin' /v CheckDeviceConn /t REG_DWORD /d 0 /f \
    >/dev/null
  [ -z "$(windows)" ] || fail "a Tarvelin window is already open"
  "$wine_run" "$1" &
  program=$!
  at_exit "kill $program 2>/dev/null"
  step="start-up"
  wait_until 60 started || fail "$step: no window within 60 s"
  kill -0 "$program" 2>/dev/null || fail "$step: the program ended without a window"
  win=$(windows | head -n 1)
}
started() { [ -n "$(windows)" ] || ! kill -0 "$program" 2>/dev/null; }
