#!/usr/bin/env bash
# Runs a Windows program under Wine with a build's own session (prefix, display, home).
# Usage: wine-exec.sh STATE_DIR PROGRAM.exe [ARGS...]   (CTest's emulator for the Windows build)
set -euo pipefail
state="$1"
shift
here="$(cd "$(dirname "$0")" && pwd)"
"$here/wine-session.sh" start "$state" >/dev/null
# shellcheck source=/dev/null
. "$state/env"
exec wine "$@"
