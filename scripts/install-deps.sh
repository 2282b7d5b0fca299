#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when some are missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 fonts-wine xvfb xauth xdotool xcompmgr x11-xserver-utils imagemagick
  python3-pyftpdlib python3-openssl python3-asyncssh openssl libssl-dev libsqlite3-dev tcl
  cmake googletest clang libclang-rt-dev g++ make dpkg-dev iproute2 util-linux
  fp-utils-3.2.2 nsis binutils lighttpd lighttpd-mod-webdav lighttpd-mod-openssl
  ceph-mon ceph-osd radosgw ceph-common curl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
# lighttpd's package would start the system's web server; the tests start their own, so keep
# the install from starting any service, unless this machine already has its own rule for that.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee "$policy" >/dev/null
  "${sudo_cmd[@]}" chmod 755 "$policy"
  trap '"${sudo_cmd[@]}" rm -f "$policy"' EXIT
fi
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
