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
#   FTPS    127.0.0.21:21 (AUTH TLS) and 127.0.0.21:990 (implicit TLS), as the first, on a
#           certificate for 127.0.0.21 from the test root STATE_DIR/tls/root.der, which the Wine
#           prefix trusts (tests/tools/trust_root_win.cpp); root STATE_DIR/ftps-root
#   FTPS    127.0.0.22:21   as 127.0.0.21:21, on a certificate that nobody vouches for (its
#                           SHA-256 in STATE_DIR/tls/untrusted.fingerprint),
#                           root STATE_DIR/ftps-untrusted-root
#   SFTP    127.0.0.23:22   user "vemlix", password "Up-load 7", root STATE_DIR/sftp-root, host
#                           key STATE_DIR/ssh/host_key; STATE_DIR/ssh/other_key.pub is another
#                           key, for a known_hosts entry that no longer fits
#   WebDAV  https://127.0.0.32:8443 (on a certificate from the test root for 127.0.0.32 and
#           127.0.0.34) and http://127.0.0.32:8080: lighttpd with webdav.conf, user "vemlix",
#           password "Up-load 7", Basic at /dav/ and Digest at /digest/, one tree rooted at
#           STATE_DIR/webdav-root; each request logged as "METHOD PATH STATUS" in
#           STATE_DIR/webdav-requests; webdav_check.sh shows what it answers
#   WebDAV  127.0.0.34:8443 relays to 127.0.0.32:8443, and cuts each connection off after
#           1000 bytes from the client while STATE_DIR/webdav-cut exists
#   S3      127.0.0.31:7480 (HTTP) and 127.0.0.31:7443 (HTTPS, on a certificate from the test
#           root for 127.0.0.31 and 127.0.0.33), access key "VEMLIXTESTACCESSKEY1", secret
#           "VemlixTestSecretKey0123456789abcdefABCD", bucket "pictures": a Ceph RADOS Gateway
#           that tests/servers/rgw_server.sh starts once these servers are up (its own fixture)
#   S3      127.0.0.33:7443 relays to 127.0.0.31:7443, but refuses connections while
#           STATE_DIR/rgw-down exists
# Nothing listens on 127.0.0.2. FTP needs port 21: run inside scripts/offline.sh's private
# network namespace, which opens it to the user running the tests and keeps other runs apart.
set -euo pipefail
action="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
python=/usr/bin/python3  # Debian's, which has pyftpdlib

spawn() {
  local name="$1"
  shift
  "$@" </dev/null >"$state/$name.log" 2>&1 &
  echo $! >"$state/$name.pid"
}

launch() {
  local name="$1"
  shift
  spawn "$name" "$python" "$@"
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

# A certificate from the test root for a loopback address and any more given (a relay's that
# passes TLS through): STATE_DIR/tls/NAME.{crt,key,pem}. Made anew only when the addresses change.
sign_for() {
  local ip="$1" name="$2" tls="$state/tls" san="IP:$1" more
  for more in "${@:3}"; do san+=",IP:$more"; done
  grep -qsxF "subjectAltName=$san" "$tls/$name.ext" && [ -f "$tls/$name.pem" ] && return 0
  openssl req -newkey rsa:2048 -nodes -subj "/CN=$ip" -keyout "$tls/$name.key" \
    -out "$tls/$name.csr" 2>/dev/null
  printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\n' "$san" >"$tls/$name.ext"
  openssl x509 -req -in "$tls/$name.csr" -CA "$tls/root.pem" -CAkey "$tls/root.key" \
    -CAcreateserial -days 3650 -extfile "$tls/$name.ext" -out "$tls/$name.crt" 2>/dev/null
  cat "$tls/$name.crt" "$tls/$name.key" >"$tls/$name.pem"
}

# The test root, a certificate it signs for 127.0.0.21, one for 127.0.0.22 signed by nobody, and
# two SSH host keys: made once per state folder, since the Wine prefix keeps trusting the root.
make_keys() {
  local tls="$state/tls" ssh="$state/ssh"
  if [ ! -f "$tls/untrusted.pem" ]; then
    rm -rf "$tls" && mkdir -p "$tls"
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Vemlix Test Root" \
      -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
      -keyout "$tls/root.key" -out "$tls/root.pem" 2>/dev/null
    openssl x509 -in "$tls/root.pem" -outform DER -out "$tls/root.der"
    openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.21" -keyout "$tls/trusted.key" \
      -out "$tls/trusted.csr" 2>/dev/null
    printf 'subjectAltName=IP:127.0.0.21\nextendedKeyUsage=serverAuth\n' >"$tls/trusted.ext"
    openssl x509 -req -in "$tls/trusted.csr" -CA "$tls/root.pem" -CAkey "$tls/root.key" \
      -CAcreateserial -days 3650 -extfile "$tls/trusted.ext" -out "$tls/trusted.crt" 2>/dev/null
    cat "$tls/trusted.crt" "$tls/trusted.key" >"$tls/trusted.pem"
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=127.0.0.22" \
      -addext subjectAltName=IP:127.0.0.22 -keyout "$tls/untrusted.key" \
      -out "$tls/untrusted.crt" 2>/dev/null
    cat "$tls/untrusted.crt" "$tls/untrusted.key" >"$tls/untrusted.pem"
    openssl x509 -in "$tls/untrusted.crt" -noout -fingerprint -sha256 >"$tls/untrusted.fingerprint"
  fi
  sign_for 127.0.0.31 rgw 127.0.0.33
  sign_for 127.0.0.32 webdav 127.0.0.34
  if [ ! -f "$ssh/other_key.pub" ]; then
    rm -rf "$ssh" && mkdir -p "$ssh"
    "$python" - "$ssh" <<'PY'
import sys, asyncssh
for name in ("host_key", "other_key"):
    key = asyncssh.generate_private_key("ssh-ed25519")
    key.write_private_key(f"{sys.argv[1]}/{name}")
    key.write_public_key(f"{sys.argv[1]}/{name}.pub")
PY
  fi
}

# lighttpd with mod_webdav, on the certificate made by make_keys, and the relay that cuts
# uploads to it short. Stopped by stop(): its command line names webdav.conf, in this folder.
start_webdav() {
  rm -rf "$state/webdav-root" "$state/webdav-tmp" "$state/webdav-cut" "$state/webdav-requests"
  mkdir -p "$state/webdav-root" "$state/webdav-tmp"
  printf 'vemlix:Up-load 7\n' >"$state/webdav-users"
  VEMLIX_WEBDAV_STATE="$state" spawn webdav /usr/sbin/lighttpd -D -f "$here/webdav.conf"
  launch webdav-relay "$here/tcp_relay.py" 127.0.0.34 8443 127.0.0.32 8443 \
    --cut-while "$state/webdav-cut" --cut-after 1000
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
    "$state/ftp-norename-root" "$state/ftp-later-root" "$state/ftps-root"
    "$state/ftps-untrusted-root" "$state/sftp-root")
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
  make_keys
  launch ftpes "$here/ftp_server.py" 127.0.0.21 21 "$state/ftps-root" vemlix "Up-load 7" \
    --tls "$state/tls/trusted.pem"
  launch ftps "$here/ftp_server.py" 127.0.0.21 990 "$state/ftps-root" vemlix "Up-load 7" \
    --tls "$state/tls/trusted.pem" --implicit
  launch ftpes-untrusted "$here/ftp_server.py" 127.0.0.22 21 "$state/ftps-untrusted-root" \
    vemlix "Up-load 7" --tls "$state/tls/untrusted.pem"
  start_webdav
  launch sftp "$here/sftp_server.py" 127.0.0.23 22 "$state/sftp-root" vemlix "Up-load 7" \
    "$state/ssh/host_key"
  launch http "$here/http_server.py" 127.0.0.1 8080
  launch silent "$here/silent_server.py" 127.0.0.3:21 127.0.0.1:8081
  wait_for 127.0.0.1 21 && wait_for 127.0.0.4 21 && wait_for 127.0.0.5 21 &&
    wait_for 127.0.0.6 21 && wait_for 127.0.0.7 21 && wait_for 127.0.0.1 8080 &&
    wait_for 127.0.0.3 21 && wait_for 127.0.0.21 21 && wait_for 127.0.0.21 990 &&
    wait_for 127.0.0.22 21 && wait_for 127.0.0.23 22 &&
    wait_for 127.0.0.1 8081 && wait_for 127.0.0.32 8080 && wait_for 127.0.0.32 8443 &&
    wait_for 127.0.0.34 8443 || { stop; cat "$state"/*.log >&2; exit 1; }
}

case "$action" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
