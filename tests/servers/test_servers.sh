#!/usr/bin/env bash
# Starts and stops the loopback servers of the upload and update tests (a CTest fixture).
# Usage: test_servers.sh start|stop STATE_DIR
#   FTP     127.0.0.1:21    user "vemlix", password "Up-load 7", root STATE_DIR/ftp-root
#   HTTP    127.0.0.1:8080  the version files of http_server.py
#   silent  127.0.0.3:21 and 127.0.0.1:8081: accept, never answer
#   FTP     127.0.0.4:21    as the first, but every upload fails after 1000 bytes (a full disk),
#                           root STATE_DIR/ftp-cut-root
#   FTP     127.0.0.5:21    as the first, but uploads arrive at 64 KiB/s, root STATE_DIR/ftp-slow-root
#   FTP     127.0.0.6:21    as the first, but the account may not rename,
#                           root STATE_DIR/ftp-norename-root
#   FTP     127.0.0.7:21    as the first, but down (421) while STATE_DIR/ftp-down exists, and
#                           cutting uploads off after 1000 bytes while STATE_DIR/ftp-cut exists,
#                           root STATE_DIR/ftp-later-root
# Nothing listens on 127.0.0.2. FTP needs port 21: run inside scripts/offline.sh's private
# network namespace, which opens it to the user running the tests and keeps other runs apart.
set -euo pipefail
action="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
python=/usr/bin/python3  # Debian's, which has pyftpdlib

launch() {
  local name="$1"
  shift
  "$python" "$@" </dev/null >"$state/$name.log" 2>&1 &
  echo $! >"$state/$name.pid"
}

listening() {
  "$python" - "$1" "$2" <<'PY'
import socket, sys
try:
    socket.create_connection((sys.argv[1], int(sys.argv[2])), timeout=1).close()
except OSError:
    sys.exit(1)
PY
}

wait_for() {
  for _ in $(seq 1 100); do
    listening "$1" "$2" && return 0
    sleep 0.1
  done
  echo "test_servers: nothing answers on $1:$2" >&2
  return 1
}

stop() {
  for pidfile in "$state"/*.pid; do
    [ -f "$pidfile" ] || continue
    pid="$(cat "$pidfile")"
    # Only a server of ours: a PID left from an earlier run may belong to someone else by now.
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF "$here/"; then
      kill "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
  done
}

start() {
  stop
  local roots=("$state/ftp-root" "$state/ftp-cut-root" "$state/ftp-slow-root"
    "$state/ftp-norename-root" "$state/ftp-later-root")
  rm -rf "${roots[@]}" "$state/ftp-down" "$state/ftp-cut" "$state/ftp-commands"
  mkdir -p "${roots[@]}"
  launch ftp "$here/ftp_server.py" 127.0.0.1 21 "$state/ftp-root" vemlix "Up-load 7" \
    --commands "$state/ftp-commands"
  launch ftp-cut "$here/ftp_server.py" 127.0.0.4 21 "$state/ftp-cut-root" vemlix "Up-load 7" \
    --cut-after 1000
  launch ftp-slow "$here/ftp_server.py" 127.0.0.5 21 "$state/ftp-slow-root" vemlix "Up-load 7" \
    --throttle 65536
  launch ftp-norename "$here/ftp_server.py" 127.0.0.6 21 "$state/ftp-norename-root" vemlix \
    "Up-load 7" --no-rename
  launch ftp-later "$here/ftp_server.py" 127.0.0.7 21 "$state/ftp-later-root" vemlix \
    "Up-load 7" --down-while "$state/ftp-down" --cut-after 1000 --cut-while "$state/ftp-cut"
  launch http "$here/http_server.py" 127.0.0.1 8080
  launch silent "$here/silent_server.py" 127.0.0.3:21 127.0.0.1:8081
  wait_for 127.0.0.1 21 && wait_for 127.0.0.4 21 && wait_for 127.0.0.5 21 &&
    wait_for 127.0.0.6 21 && wait_for 127.0.0.7 21 && wait_for 127.0.0.1 8080 &&
    wait_for 127.0.0.3 21 &&
    wait_for 127.0.0.1 8081 || { stop; cat "$state"/*.log >&2; exit 1; }
}

case "$action" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
