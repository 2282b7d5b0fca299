#!/usr/bin/env bash
# Runs a command in a private network namespace that has only loopback, so nothing it starts
# (the program under test, Wine, test servers) can reach any address off this machine.
set -euo pipefail
if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null && unshare -n true 2>/dev/null; then
  exec unshare -n -- bash -c 'ip link set lo up && exec "$@"' offline "$@"
fi
echo "offline.sh: no private network namespace available; running with the host's network" >&2
exec "$@"
