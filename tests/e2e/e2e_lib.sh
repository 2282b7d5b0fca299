# Shared by the end-to-end scripts (sourced): the session's environment, Vemlix's data files,
# starting and ending the program, and the mouse and keyboard through X.
# The sourcing script is called with VEMLIX_EXE WINE_STATE_DIR WINDOW_PROBE_EXE.
set -euo pipefail
exe="$1"
state="$2"
probe="$3"
# shellcheck source=/dev/null
. "$state/env"
data="$HOME/Vemlix/SharedData"  # the session's Documents folder is its home folder
vemlix=""

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

# AppSettings.idx with the update check off and the window at 100, 100.
write_settings() {
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
}

# Starts Vemlix and sets `window` to its main window once it has faded in.
start_vemlix() {
  wine "$exe" </dev/null >/dev/null 2>&1 &
  vemlix=$!
  wait_until 30 find_window '^Vemlix$' || fail "no Vemlix window"
  sleep 2
}

# find_window NAME_REGEX: sets `window` to the first X window of that name.
find_window() { window="$(xdotool search --name "$1" 2>/dev/null | head -n 1)" && [ -n "$window" ]; }

# has_keyboard WINDOW: true once X gives that window the keyboard focus. Keys sent before then
# go to whichever window had it, so a test waits for this after a window opens.
has_keyboard() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# Sets X and Y to the top-left corner of an X window.
origin_of() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

# click_at X Y: a left click at screen pixels.
click_at() { xdotool mousemove "$1" "$2" sleep 0.3 click 1 sleep 0.2; }

# click_control CAPTION CONTROL_ID: a left click in the middle of a dialog's control.
click_control() {
  local left top width height
  read -r left top width height < <(wine "$probe" rect "$1" "$2" | tr -d '\r') ||
    fail "no control $2 in \"$1\""
  click_at $((left + width / 2)) $((top + height / 2))
}

# type_into CAPTION CONTROL_ID TEXT: replaces the text of an edit box as a user would.
type_into() {
  click_control "$1" "$2"
  xdotool key End shift+Home BackSpace
  xdotool type --delay 30 "$3"
}

end_vemlix() {
  [ -n "$vemlix" ] || return 0
  wait_until 20 bash -c "! kill -0 $vemlix 2>/dev/null" || fail "Vemlix did not end"
  wait "$vemlix" || fail "Vemlix ended with $?"
  vemlix=""
}

cleanup() {
  if [ -n "$vemlix" ]; then kill "$vemlix" 2>/dev/null || true; fi
  rm -rf "$HOME/Vemlix"
}
trap cleanup EXIT
