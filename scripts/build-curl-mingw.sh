#!/usr/bin/env bash
# Cross-builds libssh2 and a libcurl that speaks FTP, FTPS, SFTP and HTTP(S) with Basic, Digest
# and AWS Signature V4 and little else, both on the OpenSSL of build-openssl-mingw.sh, for the
# Windows target, from Debian's own source packages, once per machine, into a cache outside the
# checkout. Prints the install prefix.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${VEMLIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vemlix}"
# A change to this recipe builds again, on every machine that has the older build, into a
# folder of its own: checkouts of older and newer recipes side by side keep their own builds.
recipe="$(cat "$here/build-curl-mingw.sh" "$here/build-openssl-mingw.sh" "$here/debian-source.sh" |
  sha256sum | cut -c1-16)"
prefix="$cache/curl-mingw64-$recipe"
built() {
  [ -f "$prefix/lib/libcurl.a" ] && [ -f "$prefix/lib/libssh2.a" ] &&
    [ "$(cat "$prefix/recipe" 2>/dev/null)" = "$recipe" ]
}
if built; then
  echo "$prefix"
  exit 0
fi

openssl="$("$here/build-openssl-mingw.sh")"

# Two builds configuring at once (two checkouts, two presets) must not both build it.
mkdir -p "$cache"
exec 8>"$cache/curl.lock"
flock 8
if built; then
  echo "$prefix"
  exit 0
fi

. "$here/debian-source.sh"
toolchain="$here/../cmake/mingw-w64-x86_64.cmake"
cross=(-G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF
  -DCMAKE_FIND_ROOT_PATH="/usr/x86_64-w64-mingw32;$openssl;$prefix")
jobs="$(nproc)"
rm -rf "$prefix"

work="$cache/libssh2-src"
debian_source_unpack libssh2 "$work"
# libssh2 needs libcrypto alone; where it asks for libssl too, it gets the socket library that
# a static libcrypto needs.
cmake -S "$work/src" -B "$work/build" "${cross[@]}" -DCRYPTO_BACKEND=OpenSSL \
  -DOPENSSL_INCLUDE_DIR="$openssl/include" -DLIB_EAY="$openssl/lib/libcrypto.a" \
  -DSSL_EAY=ws2_32 \
  -DENABLE_ZLIB_COMPRESSION=OFF -DBUILD_EXAMPLES=OFF \
  -DCMAKE_C_FLAGS=-Wno-deprecated-declarations >&2
cmake --build "$work/build" -j"$jobs" >&2
cmake --install "$work/build" >&2
rm -rf "$work"

# With the distribution's fixes; the last two patches of its series make its GnuTLS and NSS
# flavours.
work="$cache/curl-src"
debian_source_unpack curl "$work"
debian_source_patch "$work/src" '^(90_gnutls|99_nss)\.patch'
# HTTP stays: Debian's fix for CVE-2023-38039 has FTP's reply reader call into it.
off=()
for feature in ALTSVC COOKIES DICT DOH FILE GOPHER HSTS IMAP LDAP LDAPS MQTT NETRC \
  NTLM POP3 PROXY RTSP SMB SMTP TELNET TFTP MIME PARSEDATE LIBCURL_OPTION; do
  off+=(-DCURL_DISABLE_$feature=ON)
done
# TLS through OpenSSL's libssl, which the caller tells to trust the Windows certificate store
# (CURLSSLOPT_NATIVE_CA): Wine's Schannel takes any certificate as good, and fails on FTP's
# data connection. No openssl.cnf is read from wherever the machine keeps one.
ssl=(-DCURL_USE_SCHANNEL=OFF -DCURL_WINDOWS_SSPI=OFF -DCURL_USE_OPENSSL=ON
  -DCURL_DISABLE_OPENSSL_AUTO_LOAD_CONFIG=ON -DOPENSSL_INCLUDE_DIR="$openssl/include"
  -DLIB_EAY="$openssl/lib/libcrypto.a" -DSSL_EAY="$openssl/lib/libssl.a")
cmake -S "$work/src" -B "$work/build" "${cross[@]}" "${off[@]}" \
  -DBUILD_CURL_EXE=OFF -DENABLE_MANUAL=OFF -DPICKY_COMPILER=OFF \
  "${ssl[@]}" -DCURL_USE_LIBSSH2=ON -DCURL_USE_LIBSSH=OFF \
  -DLIBSSH2_INCLUDE_DIR="$prefix/include" -DLIBSSH2_LIBRARY="$prefix/lib/libssh2.a" \
  -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF \
  -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBPSL=OFF -DENABLE_UNIX_SOCKETS=OFF -DUSE_WIN32_LDAP=OFF \
  -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DENABLE_UNICODE=ON >&2
cmake --build "$work/build" -j"$jobs" >&2
cmake --install "$work/build" >&2
rm -rf "$work" "$prefix/bin" "$prefix/share" "$prefix/lib/cmake" "$prefix/lib/pkgconfig"
echo "$recipe" >"$prefix/recipe"
built || { echo "build-curl-mingw: no libraries in $prefix" >&2; exit 1; }
echo "$prefix"
