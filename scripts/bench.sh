#!/usr/bin/env bash
# `make bench`: how long Vemlix takes to capture the whole virtual screen (1280x1024x24) into
# a local file, per image format, beside ImageMagick's `import -window root` writing the same
# format from the same display while the same picture is shown; then the capture alone for the
# full screen and for a 320 x 240 shot, before and after it came to copy only the shot's
# rectangle (capture_bench measures both ways); the picture ledger's cost with 100 000 pictures
# on record; Automatic Mode's accuracy and soak; 100 captures delivered to an S3 gateway over
# HTTPS. Figures only, nothing asserted.
# Usage: bench.sh [BUILD_DIR]   (default: build/windows, the windows preset's)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/windows}"
runs=20

cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target bench

# A session of its own: the benchmark covers the whole screen with a topmost window, which
# must not land on the display of a test run.
state="$PWD/$build/bench-session"
scripts/wine-session.sh start "$state"
# shellcheck source=/dev/null
. "$state/env"

work="$(mktemp -d)"
cleanup() {
  touch "$work/done"
  [ -n "${bench_pid:-}" ] && wait "$bench_pid" 2>/dev/null || true
  scripts/wine-session.sh stop "$state"
  rm -rf "$work"
}
trap cleanup EXIT

wine "$build/bench/capture_bench.exe" "Z:${work//\//\\}" >"$work/vemlix.txt" 2>"$work/wine.log" &
bench_pid=$!
for _ in $(seq 1 1200); do
  [ -f "$work/ready" ] && break
  kill -0 "$bench_pid" 2>/dev/null || { cat "$work/vemlix.txt" "$work/wine.log" >&2; exit 1; }
  sleep 0.5
done
[ -f "$work/ready" ] || { echo "bench: capture_bench did not finish" >&2; exit 1; }

median() { sort -n | awk '{ v[NR] = $1 } END { print (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'; }

# import, while the benchmark's picture is still on the screen.
declare -A imported
for ext in bmp jpg gif tiff png; do
  options=()
  [ "$ext" = jpg ] && options=(-quality 65)
  for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    import -window root "${options[@]}" "$work/shot.$ext"
    echo $((($(date +%s%N) - start) / 1000))
  done | median >"$work/import-$ext"
  imported[$ext]="$(awk '{ printf "%.1f", $1 / 1000 }' "$work/import-$ext")"
  imported_bytes="$(stat -c %s "$work/shot.$ext")"
  echo "$imported_bytes" >"$work/import-$ext.bytes"
done

head -1 "$work/vemlix.txt"
printf '%-6s %12s %12s %8s %14s %14s\n' format "vemlix ms" "import ms" ratio "vemlix bytes" "import bytes"
# The lines up to the first empty one are per format; what follows is printed as it is. Wine
# writes the program's line ends as CR LF.
tr -d '\r' <"$work/vemlix.txt" >"$work/vemlix-lines.txt"
awk 'NR > 1 && NF == 0 { exit } NR > 1' "$work/vemlix-lines.txt" | while read -r ext ms _ bytes _; do
  [ "$ext" = jpeg ] && ext=jpg
  theirs="${imported[$ext]}"
  printf '%-6s %12s %12s %8s %14s %14s\n' "$ext" "$ms" "$theirs" \
    "$(awk -v a="$ms" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')" "$bytes" \
    "$(cat "$work/import-$ext.bytes")"
done
echo "ratio: Vemlix's time over import's (below 1: Vemlix is faster)"
awk 'rest; NF == 0 { rest = 1; print }' "$work/vemlix-lines.txt"

# The picture ledger: a save with its record and trim, and a start, with 100 000 pictures on
# record, and its size; under Wine, whose every file call costs far more than Windows' own, and
# natively, optimised, as the same code runs on Linux.
echo
wine "$build/bench/ledger_bench.exe" "Z:${work//\//\\}\\ledger" 2>>"$work/wine.log" | tr -d '\r' |
  sed 's/^ledger:/ledger (Wine):/'
cmake --preset bench-host >/dev/null
cmake --build --preset bench-host --target ledger_bench >/dev/null
build/bench-host/bench/ledger_bench "$work/ledger-native" | sed 's/^ledger:/ledger (native):/'

# Automatic Mode: interval accuracy and a soak of firings with uploads, in a session and a
# network namespace of their own.
bench/scheduler_bench.sh "$build"

# 100 captures delivered to an S3 gateway over HTTPS, likewise on their own.
echo
cmake --build "$build" -j2 --target trust_root >/dev/null
bench/gateway_bench.sh "$build"
