#!/usr/bin/env bash
# End to end on the virtual display: real mouse clicks, through X, on Vemlix's window. A click
# on a row and on Take Shot saves a picture in the shot's folder; a click on the Automatic Mode
# button stores SCHED_ON=1; a click on Exit ends the program.
# Usage: main_window_clicks.sh VEMLIX_EXE WINE_STATE_DIR WINDOW_PROBE_EXE
# shellcheck source=tests/e2e/e2e_lib.sh
. "$(dirname "$0")/e2e_lib.sh"
pictures="$(mktemp -d)"
trap 'cleanup; rm -rf "$pictures"' EXIT

rm -rf "$HOME/Vemlix"
write_settings
{
  printf '\xEF\xBB\xBF'
  crlf "[SHOT_SETTINGS]" "SHOT_ID=0" "AUTO_ENABLED=0" "FULL_SCREEN=0" "NAME=Clicked" \
    "RECT_X=0" "RECT_Y=0" "RECT_WIDTH=64" "RECT_HEIGHT=48" "TIMESTAMP=%H_%M_%S" \
    "LOCAL_PATH=$(winepath -w "$pictures")" "FORMAT=4" ""
} >"$data/ShotsData.idx"

start_vemlix
origin_of "$window"
click_at $((X + 60)) $((Y + 100))  # the first row of the list
click_at $((X + 22)) $((Y + 47))   # Take Shot
wait_until 20 compgen -G "$pictures/Clicked-*.png" >/dev/null || fail "Take Shot saved no picture"

click_at $((X + 127)) $((Y + 47))  # Automatic Mode
wait_until 10 grep -q $'SCHED_ON=1\r' "$data/AppSettings.idx" || fail "SCHED_ON=1 was not stored"

click_at $((X + 388)) $((Y + 13))  # Exit
end_vemlix
echo "clicks on the window took a shot, switched Automatic Mode on and ended the program"
