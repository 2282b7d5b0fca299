#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each one found in build/fuzz for a
# bounded time on a copy of its seed corpus, fuzz/corpus/<first word of its name>/, so the
# corpus in the repository does not grow. Fails when any fuzzer finds a crash, a leak or a
# timeout; the input that caused it is kept in build/fuzz/artifacts/<fuzzer>/.
# FUZZ_SECONDS (default 30) and FUZZ_RUNS (default 10000000) bound each fuzzer's run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
runs="${FUZZ_RUNS:-10000000}"

build_log="$(mktemp)"
if ! { cmake --preset fuzz && cmake --build --preset fuzz -j2; } >"$build_log" 2>&1; then
  cat "$build_log"
  rm -f "$build_log"
  exit 1
fi
rm -f "$build_log"

shopt -s nullglob
fuzzers=(build/fuzz/*_fuzzer)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "fuzz: no fuzzers in build/fuzz" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=()

for fuzzer in "${fuzzers[@]}"; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  corpus="$work/$name"
  artifacts="build/fuzz/artifacts/$name/"
  mkdir -p "$corpus" "$artifacts"
  seeds="fuzz/corpus/${name%%_*}"
  if [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; else echo "$name: no seeds in $seeds"; fi

  log="$work/$name.log"
  if "$fuzzer" "$corpus" -max_total_time="$seconds" -runs="$runs" -timeout=10 \
      -rss_limit_mb=2048 -max_len=65536 -detect_leaks=1 -print_final_stats=1 \
      -artifact_prefix="$artifacts" >"$log" 2>&1; then
    done_line="$(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$log" | tail -1 || true)"
    echo "$name: ${done_line:-finished} (corpus $(ls "$corpus" | wc -l) inputs)"
  else
    echo "$name: FAILED, input kept in $artifacts"
    tail -40 "$log"
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
