#!/usr/bin/env bash
# The target behind `make dist` builds the installer, with our version information, and the
# portable zip, which holds exactly the program and its help. A CTest fixture: the installer
# tests then run on what it built.
# Usage: dist_test.sh BUILD_DIR SETUP.exe PORTABLE.zip
set -euo pipefail
build="$1"
setup="$2"
portable="$3"

rm -f "$setup" "$portable"
cmake --build "$build" --target dist

[ "$(head -c 2 "$setup")" = "MZ" ] || { echo "no installer at $setup"; exit 1; }
for key in Tarnwelt "Vemlix 1.3 Setup"; do
  strings -el "$setup" | grep -xF "$key" >/dev/null || { echo "the installer's version information lacks $key"; exit 1; }
done
listing="$(cmake -E tar tf "$portable" | sort | tr '\n' ' ')"
[ "$listing" = "Vemlix.chm Vemlix.exe " ] || { echo "the portable zip holds: $listing"; exit 1; }
