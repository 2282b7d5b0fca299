#!/usr/bin/env bash
# End to end on the virtual display, as a user would do it: New Shot, drag the overlay to where
# it should be, Save, fill in the settings (name, JPEG, Automatic Mode every 2 seconds), Save,
# switch Automatic Mode on; pictures named after the shot then come every 2 seconds. On the way,
# the keys frame the overlay to the pixel, and Enter and Esc save and cancel it.
# Usage: new_shot_flow.sh VEMLIX_EXE WINE_STATE_DIR WINDOW_PROBE_EXE
# shellcheck source=tests/e2e/e2e_lib.sh
. "$(dirname "$0")/e2e_lib.sh"

rm -rf "$HOME/Vemlix" "$HOME"/Framed-*.jpg
write_settings
start_vemlix
main="$window"
origin_of "$main"
click_at $((X + 47)) $((Y + 47))  # New Shot

# expect_frame DX DY DW DH: the overlay is that far from where it was at the last look and that
# much larger; this look becomes the last.
expect_frame() {
  local was_x=$X was_y=$Y was_w=$WIDTH was_h=$HEIGHT
  sleep 0.5
  origin_of "$overlay"
  [ "$X" -eq $((was_x + $1)) ] && [ "$Y" -eq $((was_y + $2)) ] &&
    [ "$WIDTH" -eq $((was_w + $3)) ] && [ "$HEIGHT" -eq $((was_h + $4)) ] ||
    fail "after $keys the overlay is at $X, $Y, $WIDTH x $HEIGHT (was $was_x, $was_y, $was_w x $was_h)"
}
frame_with() {  # frame_with "KEYS" DX DY DW DH
  keys="$1"
  # shellcheck disable=SC2086
  xdotool key --delay 50 $keys
  shift
  expect_frame "$@"
}

wait_until 10 find_window '^New Shot frame$' || fail "no overlay"
overlay="$window"
wait_until 10 has_keyboard "$overlay" || fail "the overlay did not take the keyboard"
origin_of "$overlay"
# The overlay has the keyboard from the start.
frame_with "Right Down" 1 1 0 0
frame_with "shift+Right shift+Down" 0 0 1 1
frame_with "Left Up shift+Left shift+Up" -1 -1 -1 -1
frame_with "ctrl+Right ctrl+shift+Down" 10 0 0 10
frame_with "ctrl+Left ctrl+shift+Up" -10 0 0 -10
from_x=$((X + 200))
from_y=$((Y + 100))
xdotool mousemove "$from_x" "$from_y" mousedown 1 mousemove $((from_x + 60)) $((from_y + 40)) \
  sleep 0.2 mousemove $((from_x + 150)) $((from_y + 100)) sleep 0.3 mouseup 1
sleep 0.5
moved_from_x=$X
origin_of "$overlay"
[ "$X" -eq $((moved_from_x + 150)) ] || fail "the overlay was not dragged (at $X, was $moved_from_x)"
click_at $((X + 13)) $((Y + 13))  # the overlay's Save

wait_until 10 find_window '^Shot Settings$' || fail "no Shot Settings dialog"
type_into "Shot Settings" 156 "Framed"
click_control "Shot Settings" 163  # Format: one down from BMP is JPEG
xdotool key Down Return
click_control "Shot Settings" 155  # Use Automatic Mode
type_into "Shot Settings" 157 "2"
click_control "Shot Settings" 1    # Save
wait_until 10 grep -q $'NAME=Framed\r' "$data/ShotsData.idx" || fail "the shot was not stored"
grep -q $'FORMAT=1\r' "$data/ShotsData.idx" || fail "JPEG was not stored"

origin_of "$main"
click_at $((X + 127)) $((Y + 47))  # Automatic Mode
sleep 7
count="$(compgen -G "$HOME/Framed-*.jpg" | wc -l)"
[ "$count" -ge 2 ] && [ "$count" -le 4 ] || fail "$count pictures in 7 seconds at an interval of 2"

origin_of "$main"
click_at $((X + 47)) $((Y + 47))  # New Shot, cancelled by Esc
wait_until 10 find_window '^New Shot frame$' || fail "no second overlay"
wait_until 10 has_keyboard "$window" || fail "the second overlay did not take the keyboard"
xdotool key Escape
wait_until 10 bash -c "! xdotool search --name '^New Shot frame$' >/dev/null" ||
  fail "Esc left the overlay open"
click_at $((X + 47)) $((Y + 47))  # New Shot, saved by Enter
wait_until 10 find_window '^New Shot frame$' || fail "no third overlay"
wait_until 10 has_keyboard "$window" || fail "the third overlay did not take the keyboard"
xdotool key Return
wait_until 10 find_window '^Shot Settings$' || fail "Enter did not open Shot Settings"
click_control "Shot Settings" 2  # Cancel, which closes the overlay too
wait_until 10 bash -c "! xdotool search --name '^New Shot frame$' >/dev/null" ||
  fail "cancelling Shot Settings left the overlay open"

origin_of "$main"
click_at $((X + 388)) $((Y + 13))  # Exit
end_vemlix
rm -f "$HOME"/Framed-*.jpg
echo "a shot framed and configured by hand took $count pictures in 7 seconds"
