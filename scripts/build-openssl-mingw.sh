#!/usr/bin/env bash
# Cross-builds OpenSSL's libcrypto and libssl (TLS for libcurl) for the Windows target from Debian's own source package,
# once per machine, into a cache outside the checkout. Prints the install prefix.
set -euo pipefail

cache="${VEMLIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vemlix}"
prefix="$cache/openssl-mingw64"
built() {
  [ -f "$prefix/lib/libcrypto.a" ] && [ -f "$prefix/lib/libssl.a" ] &&
    [ -f "$prefix/include/openssl/blowfish.h" ]
}
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

. "$(dirname "$0")/debian-source.sh"
work="$cache/openssl-src"
debian_source_unpack openssl "$work"
cd "$work/src"
./Configure mingw64 no-shared no-module no-tests no-asm no-engine no-dso no-ssl no-dtls no-comp \
  --cross-compile-prefix=x86_64-w64-mingw32- --prefix="$prefix" --libdir=lib >&2
make -j"$(nproc)" build_libs >&2
mkdir -p "$prefix/lib" "$prefix/include"
# Other checkouts may be linking the older libcrypto.a this moment: each file is replaced whole.
for lib in libcrypto.a libssl.a; do
  cp "$lib" "$prefix/lib/$lib.new"
  mv -f "$prefix/lib/$lib.new" "$prefix/lib/$lib"
done
rm -rf "$prefix/include/openssl.new"
cp -r include/openssl "$prefix/include/openssl.new"
rm -rf "$prefix/include/openssl"
mv "$prefix/include/openssl.new" "$prefix/include/openssl"
rm -rf "$work"
echo "$prefix"
