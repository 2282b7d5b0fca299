#!/usr/bin/env bash
# End to end on the virtual display, as a user would do it: New Shot, drag the overlay to where
# it should be, Save, fill in the settings (name, JPEG, Automatic Mode every 2 seconds), Save,
# switch Automatic Mode on; pictures named after the shot then come every 2 seconds.
# Usage: new_shot_flow.sh VEMLIX_EXE WINE_STATE_DIR WINDOW_PROBE_EXE
# shellcheck source=tests/e2e/e2e_lib.sh
. "$(dirname "$0")/e2e_lib.sh"

rm -rf "$HOME/Vemlix" "$HOME"/Framed-*.jpg
write_settings
start_vemlix
main="$window"
origin_of "$main"
click_at $((X + 47)) $((Y + 47))  # New Shot

wait_until 10 find_window '^VEMLIX_NEW_SHOT_WND_CLASS$' || fail "no overlay"
overlay="$window"
origin_of "$overlay"
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
click_at $((X + 388)) $((Y + 13))  # Exit
end_vemlix
rm -f "$HOME"/Framed-*.jpg
echo "a shot framed and configured by hand took $count pictures in 7 seconds"
