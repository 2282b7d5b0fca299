#!/usr/bin/env bash
# Automatic Mode under Wine: interval accuracy over a minute, then a soak of 500 firings that
# upload to a loopback FTP server, then 100 captures made while a server is down and delivered
# from the ledger at the next start once it is back. Figures only. Runs itself inside scripts/offline.sh, so the
# server's port 21 and the uploads stay in a private network namespace.
# Usage: scheduler_bench.sh BUILD_DIR   (the bench target already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$1"
if [ -z "${VEMLIX_BENCH_OFFLINE:-}" ]; then
  VEMLIX_BENCH_OFFLINE=1 exec scripts/offline.sh "$0" "$@"
fi

# A session of its own, started in this namespace: Wine makes its sockets in the wineserver.
state="$PWD/$build/bench-scheduler-session"
work="$(mktemp -d)"
mkdir -p "$work/ftp-root/soak"
/usr/bin/python3 tests/servers/ftp_server.py 127.0.0.1 21 "$work/ftp-root" vemlix "Up-load 7" \
  </dev/null >"$work/ftp.log" 2>&1 &
ftp_pid=$!
mkdir -p "$work/down-root/drain"
touch "$work/down"
/usr/bin/python3 tests/servers/ftp_server.py 127.0.0.2 21 "$work/down-root" vemlix "Up-load 7" \
  --down-while "$work/down" </dev/null >"$work/ftp-down.log" 2>&1 &
down_pid=$!
cleanup() {
  kill "$ftp_pid" "$down_pid" 2>/dev/null || true
  wait "$ftp_pid" "$down_pid" 2>/dev/null || true
  scripts/wine-session.sh stop "$state" || true
  rm -rf "$work"
}
trap cleanup EXIT
scripts/wine-session.sh start "$state"
# shellcheck source=/dev/null
. "$state/env"

for _ in $(seq 1 50); do
  /usr/bin/python3 -c 'import socket; socket.create_connection(("127.0.0.1", 21), 1).close()' \
    2>/dev/null && break
  sleep 0.1
done

echo
wine "$build/bench/scheduler_bench.exe" accuracy 60 2>>"$work/wine.log"
echo
wine "$build/bench/scheduler_bench.exe" soak 500 127.0.0.1 vemlix "Up-load 7" 2>>"$work/wine.log"
echo "  files received by the FTP server: $(find "$work/ftp-root/soak" -type f | wc -l)" \
  "(500 and the 10 of the warm-up round, less names taken twice in one second)"
echo
wine "$build/bench/scheduler_bench.exe" drain-fill 100 127.0.0.2 vemlix "Up-load 7" \
  2>>"$work/wine.log"
rm -f "$work/down"
wine "$build/bench/scheduler_bench.exe" drain-send 2>>"$work/wine.log"
echo "  files received by the FTP server: $(find "$work/down-root/drain" -type f -name '*.png' | wc -l)"
