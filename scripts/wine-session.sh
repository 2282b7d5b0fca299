#!/usr/bin/env bash
# A private Wine session: a prefix, an Xvfb display and a home folder under STATE_DIR, so tests
# and `make run` never touch the user's own Wine, display or documents.
# Usage: wine-session.sh start|stop|env STATE_DIR
# With VEMLIX_DISPLAY set (e.g. :0) the session uses that display instead of its own Xvfb.
set -euo pipefail
action="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
screen="${VEMLIX_SCREEN:-1280x1024x24}"

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
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 9>&- &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 1 50); do
      [ -S "/tmp/.X11-unix/X$n" ] && { echo "$n" >"$state/display"; return 0; }
      kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-session: could not start Xvfb" >&2
  return 1
}

start() {
  # Serialises concurrent starts. Everything started below must not inherit this descriptor
  # (9>&-): a long-lived wineserver or Xvfb holding it would block every later start.
  exec 9>"$state/session.lock"
  flock 9
  mkdir -p "$state/home"
  if [ -n "${VEMLIX_DISPLAY:-}" ]; then
    write_env "${VEMLIX_DISPLAY#:}"  # a real display the user is looking at
  else
    xvfb_alive || start_xvfb
    write_env "$(cat "$state/display")"
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
  # Our own Xvfb has no window manager: Wine then draws every window's frame itself, and does
  # not wait (2 s each time) for a window manager to confirm that a window was hidden.
  if [ -z "${VEMLIX_DISPLAY:-}" ] && ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null \
      >/dev/null 2>&1 9>&- || true
  fi
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
