#!/usr/bin/env bash
# A private Wine session: a prefix, an Xvfb display and a home folder under STATE_DIR, so tests
# and `make run` never touch the user's own Wine, display or documents.
# Usage: wine-session.sh start|stop|env STATE_DIR
# With VEMLIX_DISPLAY set (e.g. :0) the session uses that display instead of its own Xvfb.
# With VEMLIX_MONITORS set, its own Xvfb screen is split into monitors, given as WxH+X+Y in the
# screen, the primary one first: "1280x1024+1024+0 1024x768+2304+0 1024x768+0+0" is a primary
# monitor with a smaller one on either side, which Windows programs see at (1280,0) on the right
# and at (-1024,0) on the left. Give the same layout at every start of that STATE_DIR.
set -euo pipefail
action="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
monitors="${VEMLIX_MONITORS:-}"

# The screen that holds every monitor of the layout.
layout_screen() {
  local right=0 bottom=0 w h x y
  for monitor in $monitors; do
    IFS='x+' read -r w h x y <<<"$monitor"
    right=$((x + w > right ? x + w : right))
    bottom=$((y + h > bottom ? y + h : bottom))
  done
  echo "${right}x${bottom}x24"
}

if [ -n "$monitors" ]; then screen="$(layout_screen)"; else screen="${VEMLIX_SCREEN:-1280x1024x24}"; fi

# The layout as RandR monitors. Xvfb lists them through Xinerama in this order, and Wine takes
# the first for the primary monitor and places it at (0,0).
set_monitors() {
  local n=0 w h x y output=screen
  for monitor in $monitors; do
    IFS='x+' read -r w h x y <<<"$monitor"
    n=$((n + 1))
    # Sizes in millimetres at 96 dpi.
    DISPLAY=":$1" xrandr --setmonitor "VEMLIX$n" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y" \
      "$output" >>"$state/xvfb.log" 2>&1 || {
      echo "wine-session: xrandr could not add the monitor $monitor" >&2
      return 1
    }
    output=none
  done
}

# Wine names files in the Unix locale's character set: without UTF-8, a file name outside ASCII
# cannot be made (a login shell of a plain user often has no locale at all).
locale_env() {
  case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
    *UTF-8* | *utf8* | *UTF8* | *utf-8*) ;;
    *) echo 'unset LC_ALL LC_CTYPE; export LANG=C.UTF-8' ;;
  esac
}

write_env() {
  cat >"$state/env" <<ENV
$(locale_env)
export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export HOME="$state/home"
export DISPLAY=":$1"
ENV
}

xvfb_alive() {
  [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_xvfb() {
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    # -noreset: the monitor layout would go with the last client otherwise.
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 9>&- &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 1 50); do
      if [ -S "/tmp/.X11-unix/X$n" ]; then
        if [ -n "$monitors" ]; then set_monitors "$n" || return 1; fi
        echo "$n" >"$state/display"
        return 0
      fi
      kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-session: could not start Xvfb" >&2
  return 1
}

# Sets (or with an empty value removes) an option of Wine's X11 driver in the prefix; true when
# that changed the prefix. The server reads them only when it starts.
x11_option() {
  local name="$1" value="$2"
  if grep -q "^\"$name\"=\"$value\"" "$WINEPREFIX/user.reg" 2>/dev/null; then return 1; fi
  if [ -z "$value" ]; then
    grep -q "^\"$name\"=" "$WINEPREFIX/user.reg" 2>/dev/null || return 1
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v "$name" /f >/dev/null 2>&1 9>&- || true
  else
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$name" /t REG_SZ /d "$value" /f \
      >/dev/null 2>&1 9>&- || true
  fi
  wineserver -w 9>&- 2>/dev/null || true
}

start() {
  # Serialises concurrent starts. Everything started below must not inherit this descriptor
  # (9>&-): a long-lived wineserver or Xvfb holding it would block every later start.
  exec 9>"$state/session.lock"
  flock 9
  mkdir -p "$state/home"
  local restart=0 managed=""
  if [ -n "${VEMLIX_DISPLAY:-}" ]; then
    write_env "${VEMLIX_DISPLAY#:}"  # a real display the user is looking at
  else
    # A new display: a server still running from the last one knows neither it nor its monitors.
    xvfb_alive || { start_xvfb && restart=1; }
    write_env "$(cat "$state/display")"
    # No window manager runs on the session's own display, and Wine would wait two seconds for
    # one whenever a window of its kind is hidden.
    managed=N
  fi
  # shellcheck source=/dev/null
  . "$state/env"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >"$state/wineboot.log" 2>&1 9>&- || true
    wineserver -w 9>&-
    # Wine's own fonts (Debian's fonts-wine): Tahoma for the dialogs and Marlett for the
    # title-bar buttons, which this Wine does not find where the package puts them.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  x11_option Managed "$managed" && restart=1
  # Without XRandR Wine takes the monitors from Xinerama, which lists the layout's monitors.
  x11_option UseXRandR "$([ -n "$monitors" ] && echo N)" && restart=1
  if [ "$restart" = 1 ]; then
    wineserver -k 9>&- 2>/dev/null || true
    wineserver -w 9>&- 2>/dev/null || true
  fi
  # Wine's sockets are made by the wineserver, so it must live in this network namespace
  # (scripts/offline.sh gives each test run its own): one left by an earlier run goes.
  local netns
  netns="$(readlink /proc/self/ns/net)"
  if [ -f "$state/netns" ] && [ "$(cat "$state/netns")" != "$netns" ]; then
    wineserver -k 9>&- 2>/dev/null || true
    wineserver -w 9>&- 2>/dev/null || true
  fi
  echo "$netns" >"$state/netns"
  # A persistent server keeps each test's start short.
  wineserver -p >/dev/null 2>&1 9>&- || true
  exec 9>&-
  # Boot the prefix's system processes (services.exe, winedevice, ...) here, with no inherited
  # output: started by the first test instead, they would keep that test's output pipe open for
  # as long as the server lives, and CTest would wait on it until the test's time-out.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

stop() {
  if [ -f "$state/env" ]; then
    # shellcheck source=/dev/null
    . "$state/env"
    wineserver -k 2>/dev/null || true
  fi
  if xvfb_alive; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
  rm -f "$state/xvfb.pid" "$state/display"
}

case "$action" in
  start) start ;;
  stop) stop ;;
  env) cat "$state/env" ;;
  *) echo "usage: $0 start|stop|env STATE_DIR" >&2; exit 2 ;;
esac
