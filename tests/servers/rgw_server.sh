#!/usr/bin/env bash
# Starts and stops a throwaway one-node Ceph RADOS Gateway, the S3 server of the upload tests
# (a CTest fixture). Usage: rgw_server.sh start|stop STATE_DIR
#   S3      127.0.0.31:7480 (HTTP) and 127.0.0.31:7443 (HTTPS, on STATE_DIR/tls/rgw.crt, which
#           test_servers.sh has the test root sign for 127.0.0.31 and 127.0.0.33), path-style,
#           region us-east-1, access key VEMLIXTESTACCESSKEY1, secret
#           VemlixTestSecretKey0123456789abcdefABCD, bucket "pictures" (and "warm-up")
#   S3      127.0.0.33:7443 relays to 127.0.0.31:7443, but refuses connections while
#           STATE_DIR/rgw-down exists
# One monitor, one OSD that keeps everything in memory and one radosgw, all their files under
# STATE_DIR/ceph, made anew at each start. Run inside scripts/offline.sh, as root or not.
# tests/servers/rgw_check.sh STATE_DIR proves a running gateway with curl.
set -Eeuo pipefail
action="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
ceph_dir="$state/ceph"
conf="$ceph_dir/ceph.conf"
ip=127.0.0.31
access_key=VEMLIXTESTACCESSKEY1
secret_key=VemlixTestSecretKey0123456789abcdefABCD
empty_sha256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855
deadline=$((SECONDS + 50))  # the fixture's own limit is 60 s

# auth none keeps the cluster free of keyrings; radosgw would then still ask the monitor for a
# secure connection, which only cephx can give, hence the crc mode. The pool and paxos values
# make a one-OSD cluster answer in about two seconds instead of a quarter of a minute; the
# monitor would refuse to start on a disk more than 95 % full, which a test machine may well be.
write_conf() {
  cat >"$conf" <<EOF
[global]
fsid = $1
mon host = v2:$ip:3300
public addr = $ip
auth cluster required = none
auth service required = none
auth client required = none
ms mon client mode = crc
run dir = $ceph_dir/run
admin socket = $ceph_dir/run/\$name.asok
log file = $ceph_dir/log/\$name.log
mon cluster log to file = false
crash dir = $ceph_dir/crash
keyring = $ceph_dir/keyring
mon data = $ceph_dir/mon
osd data = $ceph_dir/osd
rgw data = $ceph_dir/rgw
mon data avail crit = 0
mon data avail warn = 0
paxos propose interval = 0.05
mon allow pool size one = true
mon warn on pool no redundancy = false
mon max pg per osd = 1000
osd pool default size = 1
osd pool default min size = 1
osd pool default pg num = 8
osd pool default pgp num = 8
osd pool default pg autoscale mode = off
osd crush chooseleaf type = 0
osd objectstore = memstore
memstore device bytes = 1073741824
rgw frontends = beast endpoint=$ip:7480 ssl_endpoint=$ip:7443 ssl_certificate=$state/tls/rgw.crt ssl_private_key=$state/tls/rgw.key
rgw thread pool size = 16
rgw enable gc threads = false
rgw enable lc threads = false
rgw enable quota threads = false
EOF
}

launch() {
  local name="$1"
  shift
  "$@" </dev/null >"$ceph_dir/log/$name.out" 2>&1 &
  echo $! >"$ceph_dir/$name.pid"
}

before_deadline() {
  [ "$SECONDS" -lt "$deadline" ] || { echo "rgw_server: $1 took too long" >&2; return 1; }
}

# A radosgw that asks for the OSD before the monitor has it up can wait out a 5 s tick of its
# client for the next map; the OSD logs this step once the monitor's map shows it up.
wait_for_osd() {
  until grep -qs "state: booting -> active" "$ceph_dir/log/osd.0.log"; do
    before_deadline "the OSD" || return 1
    sleep 0.05
  done
}

wait_for() {
  until curl -s -o /dev/null --max-time 2 --cacert "$state/tls/root.pem" "$1"; do
    before_deadline "$1" || return 1
    sleep 0.05
  done
}

s3() {
  curl -sS -f --max-time 20 --aws-sigv4 "aws:amz:us-east-1:s3" \
    --user "$access_key:$secret_key" -H "x-amz-content-sha256: $empty_sha256" "$@" >/dev/null
}

# The OSD is in the first osdmap already, so no `ceph osd new` (a second of Python) is needed.
make_cluster() {
  local fsid
  fsid="$(cat /proc/sys/kernel/random/uuid)"
  mkdir -p "$ceph_dir"/{mon,osd,rgw,run,log,crash}
  write_conf "$fsid"
  {
    monmaptool --create --clobber --fsid "$fsid" --addv a "[v2:$ip:3300]" "$ceph_dir/monmap"
    osdmaptool --createsimple 1 --clobber "$ceph_dir/osdmap"
    ceph-mon -c "$conf" -i a --mkfs --monmap "$ceph_dir/monmap" --osdmap "$ceph_dir/osdmap"
  } >"$ceph_dir/log/mkfs.out" 2>&1
  launch mon ceph-mon -c "$conf" -i a -f
  timeout 30 ceph-osd -c "$conf" -i 0 --mkfs --osd-uuid "$(cat /proc/sys/kernel/random/uuid)" \
    >>"$ceph_dir/log/mkfs.out" 2>&1
  launch osd ceph-osd -c "$conf" -i 0 -f
}

# The warm-up bucket and its unfinished multipart upload make radosgw create its last pools now,
# so that no test pays for them or times out on them.
make_account() {
  timeout 30 radosgw-admin -c "$conf" user create --uid vemlix --display-name Vemlix \
    --access-key "$access_key" --secret-key "$secret_key" >"$ceph_dir/log/user.out" 2>&1
  s3 -X PUT "http://$ip:7480/warm-up"
  s3 -X POST "http://$ip:7480/warm-up/multipart?uploads="
  s3 -X PUT "http://$ip:7480/pictures"
}

ours() {
  tr '\0' ' ' 2>/dev/null <"/proc/$1/cmdline" | grep -qF -e "$conf" -e "$here/"
}

# radosgw ignores SIGTERM once its OSD is gone, so it goes first and, if need be, by SIGKILL.
stop_daemon() {
  local pidfile="$ceph_dir/$1.pid" pid
  [ -f "$pidfile" ] || return 0
  pid="$(cat "$pidfile")"
  if ours "$pid"; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
      ours "$pid" || break
      sleep 0.1
    done
    if ours "$pid"; then
      kill -9 "$pid" 2>/dev/null || true
      for _ in $(seq 1 50); do
        ours "$pid" || break
        sleep 0.1
      done
    fi
  fi
  rm -f "$pidfile"
}

stop() {
  for name in relay rgw osd mon; do stop_daemon "$name"; done
}

fail() {
  trap - ERR
  stop
  tail -n 20 "$ceph_dir"/log/* >&2 || true
  exit 1
}

start() {
  [ -d "$ceph_dir" ] && stop
  rm -rf "$ceph_dir" "$state/rgw-down"
  [ -f "$state/tls/rgw.pem" ] || { echo "rgw_server: run test_servers.sh start first" >&2; exit 1; }
  trap fail ERR
  make_cluster
  wait_for_osd
  launch rgw radosgw -c "$conf" -n client.rgw -f
  wait_for "http://$ip:7480/"
  make_account
  launch relay /usr/bin/python3 "$here/tcp_relay.py" 127.0.0.33 7443 "$ip" 7443 \
    --down-while "$state/rgw-down"
  wait_for "https://$ip:7443/"
  wait_for "https://127.0.0.33:7443/"
}

case "$action" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
