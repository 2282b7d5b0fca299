#!/usr/bin/env bash
# Shows from Linux, with curl, that the WebDAV test server answers the way the upload tests
# expect, so that a failing Windows test points at the client rather than at the server.
# Usage: scripts/offline.sh tests/servers/webdav_check.sh [STATE_DIR]
# Starts the test servers in STATE_DIR (a new temporary folder if none is named) and stops them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
state="${1:-$(mktemp -d)}"
"$here/test_servers.sh" start "$state"
trap '"$here/test_servers.sh" stop "$state"' EXIT

tls=https://127.0.0.32:8443 plain=http://127.0.0.32:8080 relay=https://127.0.0.34:8443
root="$state/webdav-root"
work="$(mktemp -d)"
head -c 102400 /dev/urandom >"$work/shot.png"
passes=0 failures=0

# Prints the status code of one request; the rest of the arguments go to curl.
ask() {
  curl -sS -o "$work/body" -w '%{http_code}' --cacert "$state/tls/root.pem" "$@" || true
}

expect() {
  if [ "$2" = "$3" ]; then
    echo "ok    $1: $3"
    passes=$((passes + 1))
  else
    echo "FAIL  $1: expected $2, got $3"
    failures=$((failures + 1))
  fi
}

# The upload as the client makes it: a partial name, then a move onto the final one.
upload() {
  local base="$1" auth=("${@:3}") name='a%20b+%C3%A9.png'
  expect "$2 PUT partial" 201 "$(ask "${auth[@]}" -T "$work/shot.png" "$base/$name.part")"
  expect "$2 MOVE onto new" 201 "$(ask "${auth[@]}" -X MOVE -H "Destination: $base/$name" \
    -H 'Overwrite: T' "$base/$name.part")"
  expect "$2 GET same bytes" 200 "$(ask "${auth[@]}" "$base/$name")"
  cmp -s "$work/body" "$work/shot.png" || expect "$2 GET same bytes" same different
  expect "$2 PUT partial again" 201 "$(ask "${auth[@]}" -T "$work/shot.png" "$base/$name.part")"
  expect "$2 MOVE onto existing" 204 "$(ask "${auth[@]}" -X MOVE -H "Destination: $base/$name" \
    -H 'Overwrite: T' "$base/$name.part")"
  expect "$2 stored under the decoded name" "a b+é.png" "$(ls "$root")"
  rm -f "$root"/*
}

basic=(-u 'vemlix:Up-load 7')
upload "$tls/dav" "HTTPS Basic" "${basic[@]}"
upload "$plain/dav" "HTTP Basic" "${basic[@]}"
upload "$tls/digest" "HTTPS Digest" --digest "${basic[@]}"

expect "PUT into a missing folder" 409 \
  "$(ask "${basic[@]}" -T "$work/shot.png" "$tls/dav/y/m/s.png")"
expect "MKCOL y" 201 "$(ask "${basic[@]}" -X MKCOL "$tls/dav/y")"
expect "MKCOL y/m" 201 "$(ask "${basic[@]}" -X MKCOL "$tls/dav/y/m")"
expect "MKCOL of an existing folder" 405 "$(ask "${basic[@]}" -X MKCOL "$tls/dav/y")"
expect "PUT into the new folder" 201 "$(ask "${basic[@]}" -T "$work/shot.png" "$tls/dav/y/m/s.png")"
expect "PROPFIND" 207 "$(ask "${basic[@]}" -X PROPFIND -H 'Depth: 1' "$tls/dav/y/m/")"
expect "DELETE" 204 "$(ask "${basic[@]}" -X DELETE "$tls/dav/y")"

expect "PUT without a password" 401 "$(ask -T "$work/shot.png" "$tls/dav/n.png")"
expect "PUT with a wrong password" 401 "$(ask -u vemlix:nope -T "$work/shot.png" "$tls/dav/n.png")"
expect "Basic where Digest is asked" 401 \
  "$(ask "${basic[@]}" -T "$work/shot.png" "$tls/digest/n.png")"
expect "nothing stored without the password" "" "$(ls -A "$root")"

touch "$state/webdav-cut"
# After 100 Continue the status code says nothing: only curl's failure shows the cut.
outcome=failed
curl -sS -o /dev/null --cacert "$state/tls/root.pem" "${basic[@]}" -T "$work/shot.png" \
  "$relay/dav/c.png" 2>/dev/null && outcome=succeeded
expect "PUT cut off by the relay" failed "$outcome"
sleep 0.5  # the server notices the cut after curl does
expect "nothing under the final name after the cut" "" "$(ls -A "$root")"
rm "$state/webdav-cut"
expect "PUT through the relay once it stops cutting" 201 \
  "$(ask "${basic[@]}" -T "$work/shot.png" "$relay/dav/c.png")"

rm -rf "$work"
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
