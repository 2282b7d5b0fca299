#!/usr/bin/env bash
# `make run`: starts Vemlix under Wine. One prefix is kept between runs (outside the checkout),
# so settings and shots persist as on a real PC. With no display, a virtual one is started
# and a screenshot of it is left for you to look at.
# Usage: run.sh start|stop|screenshot
set -euo pipefail
cd "$(dirname "$0")/.."
state="${VEMLIX_RUN_STATE:-${XDG_DATA_HOME:-$HOME/.local/share}/vemlix/run}"
exe="$PWD/build/windows/Vemlix.exe"
screenshot="$state/screen.png"

has_display() {
  [ -n "${DISPLAY:-}" ] && [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ]
}

take_screenshot() {
  # shellcheck source=/dev/null
  . "$state/env"
  import -window root "$screenshot"
  echo "Screenshot of the display: $screenshot"
}

start() {
  if has_display; then
    export VEMLIX_DISPLAY="$DISPLAY"
    scripts/wine-session.sh start "$state"
    # shellcheck source=/dev/null
    . "$state/env"
    echo "Starting Vemlix on $DISPLAY; data in $HOME/Vemlix/SharedData"
    exec wine "$exe"
  fi
  unset VEMLIX_DISPLAY
  scripts/wine-session.sh start "$state"
  # shellcheck source=/dev/null
  . "$state/env"
  nohup wine "$exe" >"$state/vemlix.log" 2>&1 &
  echo $! >"$state/vemlix.pid"
  # Give it time to fade in (a first start also writes its settings).
  for _ in $(seq 1 40); do
    xdotool search --name '^Vemlix$' >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 2
  take_screenshot
  cat <<INFO
Vemlix runs under Wine on the virtual display $DISPLAY (no display was open here).
  See it:        $screenshot  (refresh with: make screenshot)
  Its data:      $HOME/Vemlix/SharedData  (Documents\\Vemlix\\SharedData: AppSettings.idx, ShotsData.idx)
  Its pictures:  $HOME  (the Pictures folder of the Wine user, unless a shot names its own)
  Wine prefix:   $WINEPREFIX
  Stop it:       make stop
INFO
}

stop() {
  if [ -f "$state/vemlix.pid" ]; then kill "$(cat "$state/vemlix.pid")" 2>/dev/null || true; fi
  rm -f "$state/vemlix.pid"
  scripts/wine-session.sh stop "$state"
}

case "${1:-start}" in
  start) start ;;
  stop) stop ;;
  screenshot) take_screenshot ;;
  *) echo "usage: $0 start|stop|screenshot" >&2; exit 2 ;;
esac
