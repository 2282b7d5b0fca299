#!/usr/bin/env bash
# Runs a command in a private network namespace that has only loopback, so nothing it starts
# (the program under test, Wine, test servers) can reach any address off this machine.
# As root the namespace is made directly. As a normal user it is made in a user namespace of
# its own, where the ports below 1024 (the FTP tests need 21) are opened to every user, and the
# command then runs as that same user again: nothing of the run is done as root.
set -euo pipefail

if [ "$(id -u)" -eq 0 ]; then
  if command -v unshare >/dev/null && unshare -n true 2>/dev/null; then
    exec unshare -n -- bash -c 'ip link set lo up && exec "$@"' offline "$@"
  fi
elif command -v unshare >/dev/null && unshare -rn true 2>/dev/null; then
  exec unshare -rn -- bash -c '
    ip link set lo up &&
    echo 0 >/proc/sys/net/ipv4/ip_unprivileged_port_start &&
    exec unshare --map-user="$1" --map-group="$2" -- "${@:3}"' offline "$(id -u)" "$(id -g)" "$@"
fi
echo "offline.sh: no private network namespace available; running with the host's network" >&2
exec "$@"
