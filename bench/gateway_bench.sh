#!/usr/bin/env bash
# 100 captures delivered to an S3 gateway over HTTPS: the test servers' Ceph RADOS Gateway on
# loopback, in a network namespace and a Wine session of their own, the Wine prefix trusting the
# test root as the upload tests' does. Figures only.
# Usage: gateway_bench.sh BUILD_DIR   (the bench target and trust_root already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$1"
if [ -z "${VEMLIX_BENCH_OFFLINE:-}" ]; then
  VEMLIX_BENCH_OFFLINE=1 exec scripts/offline.sh "$0" "$@"
fi

state="$PWD/$build/bench-gateway-session"
servers="$PWD/$build/bench-gateway-servers"
cleanup() {
  tests/servers/rgw_server.sh stop "$servers" >/dev/null 2>&1 || true
  tests/servers/test_servers.sh stop "$servers" >/dev/null 2>&1 || true
  scripts/wine-session.sh stop "$state" || true
}
trap cleanup EXIT
log="$PWD/$build/bench-gateway.log"
tests/servers/test_servers.sh start "$servers" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
tests/servers/rgw_server.sh start "$servers" >>"$log" 2>&1 || { cat "$log" >&2; exit 1; }
scripts/wine-session.sh start "$state"
# shellcheck source=/dev/null
. "$state/env"
wine "$build/tests/trust_root.exe" "Z:$servers/tls/root.der" >/dev/null 2>&1
wine "$build/bench/gateway_bench.exe" s3://127.0.0.31:7443/pictures VEMLIXTESTACCESSKEY1 \
  VemlixTestSecretKey0123456789abcdefABCD 2>/dev/null | tr -d '\r'
