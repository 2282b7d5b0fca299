#!/usr/bin/env bash
# End to end on the virtual display: real keys, through X, on Vemlix's window. The list has the
# keyboard as soon as the window shows, so Down selects the first row and Delete removes its
# shot from ShotsData.idx; Ctrl+N opens the New Shot overlay; Alt+F4 ends the program; Esc
# hides the window, which a second start with /show brings back.
# Usage: main_window_keys.sh VEMLIX_EXE WINE_STATE_DIR WINDOW_PROBE_EXE
# shellcheck source=tests/e2e/e2e_lib.sh
. "$(dirname "$0")/e2e_lib.sh"

rm -rf "$HOME/Vemlix"
write_settings
{
  printf '\xEF\xBB\xBF'
  for shot in 0:Zulu 1:Alpha; do
    crlf "[SHOT_SETTINGS]" "SHOT_ID=${shot%%:*}" "AUTO_ENABLED=0" "FULL_SCREEN=0" \
      "NAME=${shot#*:}" "RECT_X=0" "RECT_Y=0" "RECT_WIDTH=64" "RECT_HEIGHT=48" \
      "TIMESTAMP=default" "LOCAL_PATH=" "FORMAT=4" ""
  done
} >"$data/ShotsData.idx"

start_vemlix
main="$window"
xdotool key Down  # rows are sorted descending: Zulu comes first
sleep 0.3
xdotool key Delete
wait_until 10 bash -c "! grep -q \$'NAME=Zulu\r' '$data/ShotsData.idx'" ||
  fail "Delete did not remove the selected shot"
grep -q $'NAME=Alpha\r' "$data/ShotsData.idx" || fail "Delete removed the other shot too"

xdotool key ctrl+n
wait_until 10 find_window '^New Shot frame$' || fail "Ctrl+N opened no overlay"

origin_of "$main"
click_at $((X + 250)) $((Y + 20))  # the skin, so the main window has the keyboard again
xdotool key alt+F4
end_vemlix

# Esc hides the window to the tray; second starts bring it back and end it.
start_vemlix
xdotool key Escape
wait_until 10 bash -c "! xdotool search --onlyvisible --name '^Vemlix\$' >/dev/null" ||
  fail "Esc did not hide the window"
wine "$exe" /show </dev/null >/dev/null 2>&1 || fail "/show ended with $?"
wait_until 10 xdotool search --onlyvisible --name '^Vemlix$' >/dev/null || fail "/show showed nothing"
wine "$exe" /exit </dev/null >/dev/null 2>&1 || fail "/exit ended with $?"
end_vemlix
echo "keys deleted a shot, opened the New Shot overlay, hid the window and ended the program"
