#!/usr/bin/env bash
# Builds every preset and runs every test: the portable code natively under ASan/UBSan and
# ThreadSanitizer, the file readers under libFuzzer, and both test programs under Wine.
# Goes on after a failing suite so one run shows everything; exits non-zero if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
failed=()

step() {
  local name="$1"
  shift
  echo "==== $name"
  "$@" || failed+=("$name")
}

jobs=2
step "host build" bash -c "cmake --preset host >/dev/null && cmake --build --preset host -j$jobs"
step "host tests" ctest --preset host
step "tsan build" bash -c "cmake --preset tsan >/dev/null && cmake --build --preset tsan -j$jobs --target portable_tests"
step "tsan tests" ctest --preset tsan -R 'Concurren|Thread'
if [ -d fuzz ] && [ -f fuzz/CMakeLists.txt ]; then
  step "fuzzers" scripts/fuzz.sh
fi
step "windows build" bash -c "cmake --preset windows >/dev/null && cmake --build --preset windows -j$jobs"
step "windows tests (Wine)" scripts/offline.sh ctest --preset windows

if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
