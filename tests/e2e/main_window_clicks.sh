#!/usr/bin/env bash
# End to end on the virtual display: real mouse clicks, through X, on Vemlix's window. A click
# on a row and on Take Shot saves a picture in the shot's folder; a click on the Automatic Mode
# button stores SCHED_ON=1; a click on Exit ends the program.
# Usage: main_window_clicks.sh VEMLIX_EXE WINE_STATE_DIR
set -euo pipefail
exe="$1"
state="$2"
# shellcheck source=/dev/null
. "$state/env"
data="$HOME/Vemlix/SharedData"  # the session's Documents folder is its home folder
pictures="$(mktemp -d)"
vemlix=""
cleanup() {
  [ -n "$vemlix" ] && kill "$vemlix" 2>/dev/null || true
  rm -rf "$pictures" "$HOME/Vemlix"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

wait_until() {  # wait_until SECONDS COMMAND...
  local tries=$(($1 * 5))
  shift
  for _ in $(seq 1 "$tries"); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

crlf() { printf '%s\r\n' "$@"; }

rm -rf "$HOME/Vemlix"
mkdir -p "$data"
{
  printf '\xEF\xBB\xBF'
  crlf "HOME_PATH=C:\\" "DOCS_PATH=$(winepath -w "$HOME")\\Vemlix\\" "VERSION=1.3" \
    "VERSION_PATH=http://127.0.0.1:9/v" "VEMLIX_HOME=http://127.0.0.1:9/" "SCHED_ON=0" \
    "START_ON_TRAY=0" "LOAD_ON_START=0" "CHECK_UPDATES=0" "DISABLE_IDLE=0" \
    "DISABLE_IDLE_INTERVAL=0" "AUTO_SHOT_ENABLE=0" "SHOT_INTERVAL=60" \
    "SHOT_TIMESTAMP=default" "SHOT_FORMAT=4" "LOCAL_PATH=" "FTP_FOLDER=" "FTP_SERVER=" \
    "FTP_USER=" "FTP_PASSWORD=" "WND_XPOS=100" "WND_YPOS=100"
} >"$data/AppSettings.idx"
{
  printf '\xEF\xBB\xBF'
  crlf "[SHOT_SETTINGS]" "SHOT_ID=0" "AUTO_ENABLED=0" "FULL_SCREEN=0" "NAME=Clicked" \
    "RECT_X=0" "RECT_Y=0" "RECT_WIDTH=64" "RECT_HEIGHT=48" "TIMESTAMP=%H_%M_%S" \
    "LOCAL_PATH=$(winepath -w "$pictures")" "FORMAT=4" ""
} >"$data/ShotsData.idx"

wine "$exe" </dev/null >/dev/null 2>&1 &
vemlix=$!
find_window() { window="$(xdotool search --name '^Vemlix$' 2>/dev/null | head -n 1)" && [ -n "$window" ]; }
wait_until 30 find_window || fail "no Vemlix window"
sleep 2  # the fade-in
eval "$(xdotool getwindowgeometry --shell "$window")"
click() { xdotool mousemove "$((X + $1))" "$((Y + $2))" sleep 0.3 click 1; }

click 60 100  # the first row of the list
click 22 47   # Take Shot
wait_until 20 compgen -G "$pictures/Clicked-*.png" >/dev/null || fail "Take Shot saved no picture"

click 127 47  # Automatic Mode
wait_until 10 grep -q $'SCHED_ON=1\r' "$data/AppSettings.idx" || fail "SCHED_ON=1 was not stored"

click 388 13  # Exit
wait_until 20 bash -c "! kill -0 $vemlix 2>/dev/null" || fail "Exit did not end Vemlix"
wait "$vemlix" || fail "Vemlix ended with $?"
vemlix=""
echo "clicks on the window took a shot, switched Automatic Mode on and ended the program"
