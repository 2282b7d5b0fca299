#!/usr/bin/env bash
# Cross-builds OpenSSL's libcrypto for the Windows target from Debian's own source package,
# once per machine, into a cache outside the checkout. Prints the install prefix.
set -euo pipefail

cache="${VEMLIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vemlix}"
prefix="$cache/openssl-mingw64"
built() { [ -f "$prefix/lib/libcrypto.a" ] && [ -f "$prefix/include/openssl/blowfish.h" ]; }
if built; then
  echo "$prefix"
  exit 0
fi

# Two builds configuring at once (two checkouts, two presets) must not both build it.
mkdir -p "$cache"
exec 8>"$cache/openssl.lock"
flock 8
if built; then
  echo "$prefix"
  exit 0
fi

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# apt-get source needs a deb-src entry for the archive apt already uses.
src_list=/etc/apt/sources.list.d/vemlix-deb-src.sources
if ! apt-get source --print-uris openssl >/dev/null 2>&1; then
  main_uri=$(grep -hoE 'https?://[^ ]*debian/?$' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | grep -v security | head -n1 || true)
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  "${as_root[@]}" tee "$src_list" >/dev/null <<SRC
Types: deb-src
URIs: ${main_uri:-http://deb.debian.org/debian}
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  "${as_root[@]}" apt-get update -qq >&2
fi

work="$cache/openssl-src"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get source -qq --download-only openssl >&2 && dpkg-source -x --skip-patches ./*.dsc src >&2)
cd "$work/src"
./Configure mingw64 no-shared no-module no-tests no-asm no-engine no-dso no-ssl no-tls no-dtls no-comp \
  --cross-compile-prefix=x86_64-w64-mingw32- --prefix="$prefix" --libdir=lib >&2
make -j"$(nproc)" build_libs >&2
mkdir -p "$prefix/lib" "$prefix/include"
cp libcrypto.a "$prefix/lib/"
cp -r include/openssl "$prefix/include/"
rm -rf "$work"
echo "$prefix"
