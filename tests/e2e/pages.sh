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
# A synced move onto the place where the pointer already is waits for a motion that never
# comes: the pointer is then only clicked.
click_at() {
  local X Y x y
  eval "$(geometry | grep -E '^(X|Y)=')"
  x=$((X + $1)) y=$((Y + $2))
  if [ "$(xdotool getmouselocation --shell | grep -E '^(X|Y)=' | tr '\n' ' ')" != "X=$x Y=$y " ]; then
    xdotool mousemove --sync "$x" "$y"
  fi
  xdotool click "${3:-1}"
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
# offer would hold the window modal), or on with a second argument "check", and with the
# tray icon on, as by default, whatever an earlier journey left; sets $program and $win once
# the window is shown.
start_program() {
  forget_wine_version
  "$wine_run" reg add 'HKCU\Software\QVT\Tarvelin' /v Tray /t REG_DWORD /d 1 /f >/dev/null
  "$wine_run" reg add 'HKCU\Software\QVT\Tarvelin' /v CheckDeviceConn /t REG_DWORD \
    /d "$([ "${2:-}" = check ] && echo 1 || echo 0)" /f >/dev/null
  [ -z "$(windows)" ] || fail "a Tarvelin window is already open"
  "$wine_run" "$1" &
  program=$!
  at_exit "kill $program 2>/dev/null"
  step="start-up"
  wait_until 60 started || fail "$step: no window within 60 s"
  kill -0 "$program" 2>/dev/null || fail "$step: the program ended without a window"
  win=$(main_window)
}
# The visible Tarvelin window of the main window's size.
main_window() {
  local w
  for w in $(windows); do [ "$(window_size "$w")" = 500x300 ] && echo "$w" && return; done
}
started() { [ -n "$(windows)" ] || ! kill -0 "$program" 2>/dev/null; }

# The text a person reads in the box GEOMETRY (W x H + X + Y) of the picture FILE: enlarged
# for the text recogniser, which knows Russian and English.
read_text() {
  convert "$1" -crop "$2" +repage -scale 400% -colorspace gray "$1.ocr.png" &&
    tesseract "$1.ocr.png" - -l rus+eng 2>/dev/null | tr -s ' \n' ' '
  rm -f "$1.ocr.png"
}
# The bytes of a shown amount such as "33,5 КБайт", "185 байт" or "1,2 МБайт".
bytes_of() {
  awk '{ for (i = 1; i < NF; i++) if ($i ~ /^[0-9]+(,[0-9]+)?$/) {
           n = $i; sub(",", ".", n); u = $(i + 1)
           f = u ~ /^КБ/ ? 1024 : u ~ /^МБ/ ? 1048576 : u ~ /^ГБ/ ? 1073741824 : 1
           printf "%d\n", n * f; exit } }' <<<"$1"
}
# The share of the picture FILE, or of its box W x H + X + Y, drawn in red.
red_share() {
  local crop=()
  [ $# -lt 5 ] || crop=(-crop "$4x$5+$2+$3" +repage)
  convert "$1" "${crop[@]}" -fx 'r > 0.6 && g < 0.35 && b < 0.35' -format '%[fx:mean]' info:
}
# Wine's own notification-area window, the program's icon at its left end.
tray_window() { xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n 1; }
# Rests the mouse on the tray icon and prints the tool tip's window once it shows (5 s at most).
tray_tip() {
  local X Y before tip
  eval "$(xdotool getwindowgeometry --shell "$(tray_window)" | tr -d '\r' | grep -E '^(X|Y)=')"
  before=$(xdotool search --onlyvisible --class '^explorer\.exe$' 2>/dev/null | sort)
  xdotool mousemove --sync $((X + 9)) $((Y + 9)) sleep 0.3 mousemove --sync $((X + 10)) $((Y + 10))
  for _ in $(seq 50); do
    tip=$(comm -13 <(echo "$before") \
      <(xdotool search --onlyvisible --class '^explorer\.exe$' 2>/dev/null | sort) | head -n 1)
    [ -n "$tip" ] && { echo "$tip"; return 0; }
    sleep 0.1
  done
  return 1
}
