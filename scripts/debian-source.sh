# Sourced by the cross-build scripts: fetches and unpacks one of Debian's own source packages.

# apt-get source needs a deb-src entry for the archive apt already uses.
debian_source_enable() {
  local as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  local src_list=/etc/apt/sources.list.d/vemlix-deb-src.sources
  apt-get source --print-uris "$1" >/dev/null 2>&1 && return 0
  local main_uri codename
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
}

# debian_source_unpack PACKAGE WORK_DIR: the upstream source, without Debian's changes, in
# WORK_DIR/src.
debian_source_unpack() {
  debian_source_enable "$1"
  rm -rf "$2"
  mkdir -p "$2"
  (cd "$2" && apt-get source -qq --download-only "$1" >&2 &&
    dpkg-source -x --skip-patches ./*.dsc src >&2)
}

# debian_source_patch SOURCE_DIR REGEX: applies Debian's series in order, but for the patches
# whose names match REGEX (those that make another flavour of the package, say).
debian_source_patch() {
  local patch
  for patch in $(grep -vE '^[[:space:]]*(#|$)' "$1/debian/patches/series" | grep -vE "$2"); do
    patch -d "$1" -p1 -s -f <"$1/debian/patches/$patch" >&2
  done
}
