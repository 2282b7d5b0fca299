#!/usr/bin/env bash
# Proves a gateway started by rgw_server.sh from Linux, with Debian's curl signing as an S3
# client does: an upload comes back byte for byte over HTTPS, HTTP and the relay, the relay
# refuses while STATE_DIR/rgw-down exists, and a wrong secret is refused.
# Usage, inside scripts/offline.sh once both scripts have started their servers:
#   rgw_check.sh STATE_DIR
set -euo pipefail
state="$(cd "$1" && pwd)"
access_key=VEMLIXTESTACCESSKEY1
secret_key=VemlixTestSecretKey0123456789abcdefABCD
empty_sha256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855
work="$(mktemp -d)"
trap 'rm -rf "$work" "$state/rgw-down"' EXIT

# Prints the HTTP status; the body goes to $work/answer.
s3() {
  local secret="$1"
  shift
  curl -sS --max-time 20 --cacert "$state/tls/root.pem" --aws-sigv4 "aws:amz:us-east-1:s3" \
    --user "$access_key:$secret" -o "$work/answer" -w '%{http_code}' "$@"
}

expect() {
  [ "$1" = "$2" ] || { echo "rgw_check: $3: got $1, wanted $2" >&2; cat "$work/answer" >&2; exit 1; }
  echo "ok: $3"
}

# A fresh body each time, so that a GET cannot pass on what an earlier upload left.
round_trip() {
  local url="$1/pictures/some%20key" sha
  head -c 300000 /dev/urandom >"$work/body"
  sha="$(sha256sum "$work/body" | cut -d' ' -f1)"
  expect "$(s3 "$secret_key" -T "$work/body" -H "x-amz-content-sha256: $sha" "$url")" 200 \
    "PUT $url"
  expect "$(s3 "$secret_key" -H "x-amz-content-sha256: $empty_sha256" "$url")" 200 "GET $url"
  cmp -s "$work/body" "$work/answer" || { echo "rgw_check: $url came back altered" >&2; exit 1; }
  echo "ok: same bytes from $url"
}

round_trip https://127.0.0.31:7443
round_trip http://127.0.0.31:7480
round_trip https://127.0.0.33:7443

touch "$state/rgw-down"
if s3 "$secret_key" -H "x-amz-content-sha256: $empty_sha256" \
  https://127.0.0.33:7443/pictures/some%20key >/dev/null 2>&1; then
  echo "rgw_check: the relay answered while rgw-down exists" >&2
  exit 1
fi
echo "ok: the relay refuses while rgw-down exists"
rm -f "$state/rgw-down"
round_trip https://127.0.0.33:7443

head -c 100 /dev/urandom >"$work/body"
expect "$(s3 "${secret_key%?}x" -T "$work/body" \
  -H "x-amz-content-sha256: $(sha256sum "$work/body" | cut -d' ' -f1)" \
  https://127.0.0.31:7443/pictures/forged)" 403 "a wrong secret is refused"
echo "rgw_check: all checks passed"
