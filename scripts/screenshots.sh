#!/usr/bin/env bash
# `make screenshots`: starts Vemlix under Wine on a virtual display of its own, with a few shots
# defined, and saves pictures of its windows into docs/screenshots/, at 96 dpi and (with the
# suffix -144dpi) at 144 dpi. Rerun it after any change to what the program shows.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target Vemlix screenshot_tour >/dev/null
out="$PWD/docs/screenshots"
state="$PWD/build/windows/screenshots"
mkdir -p "$out"
tour="$PWD/build/windows/tools/screenshot_tour.exe"

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

scripts/wine-session.sh start "$state"
# shellcheck source=/dev/null
. "$state/env"
# A compositing manager, so that see-through windows (the New Shot overlay) look as they do
# on a Windows desktop.
xcompmgr </dev/null >/dev/null 2>&1 &
compositor=$!
trap 'kill "$compositor" 2>/dev/null; scripts/wine-session.sh stop "$state"' EXIT
status=0
for dpi in 96 144; do
  suffix=""
  [ "$dpi" = 96 ] || suffix="-${dpi}dpi"
  set_dpi "$dpi"
  wine "$tour" "Z:${out//\//\\}" "$suffix" </dev/null || status=1
done
set_dpi 96
exit $status
