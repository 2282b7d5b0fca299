#!/usr/bin/env bash
# Cross-builds a static SQLite for the Windows target from Debian's own source package, once per
# machine, into a cache outside the checkout. Prints the install prefix.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${VEMLIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vemlix}"
prefix="$cache/sqlite-mingw64"
# A change to this recipe builds again, on every machine that has the older build.
recipe="$(cat "$here/build-sqlite-mingw.sh" "$here/debian-source.sh" | sha256sum | cut -c1-16)"
built() {
  [ -f "$prefix/lib/libsqlite3.a" ] && [ -f "$prefix/include/sqlite3.h" ] &&
    [ "$(cat "$prefix/recipe" 2>/dev/null)" = "$recipe" ]
}
if built; then
  echo "$prefix"
  exit 0
fi

# Two builds configuring at once (two checkouts, two presets) must not both build it.
mkdir -p "$cache"
exec 8>"$cache/sqlite.lock"
flock 8
if built; then
  echo "$prefix"
  exit 0
fi

. "$here/debian-source.sh"
work="$cache/sqlite-src"
debian_source_unpack sqlite3 "$work"
# Debian's whole series, for its security fixes; none of it is for another flavour.
debian_source_patch "$work/src" '^$'

# The amalgamation is made by host tools (lemon, tclsh) and is the same for every platform, so
# only its one C file is cross-compiled, without the configure script's cross-build path.
mkdir -p "$work/build"
(cd "$work/build" && "$work/src/configure" --disable-tcl --disable-readline >&2 &&
  make -j"$(nproc)" sqlite3.c sqlite3.h >&2)

# os_win's VFS and Win32 mutexes come with _WIN32. Nothing loads extensions into the program's
# databases, and double-quoted strings are errors, as a misspelt column name would otherwise
# become a string. In WAL mode NORMAL synchronous keeps the database whole at a power cut, losing
# at most the last commits, and spares a flush at every commit.
options=(-DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0
  -DSQLITE_DEFAULT_WAL_SYNCHRONOUS=1)
x86_64-w64-mingw32-gcc-posix -O2 "${options[@]}" -c "$work/build/sqlite3.c" \
  -o "$work/build/sqlite3.o" >&2
rm -f "$work/build/libsqlite3.a"
x86_64-w64-mingw32-ar rcs "$work/build/libsqlite3.a" "$work/build/sqlite3.o" >&2

mkdir -p "$prefix/lib" "$prefix/include"
# Other checkouts may be linking the older libsqlite3.a this moment: each file is replaced whole.
for file in lib/libsqlite3.a include/sqlite3.h; do
  cp "$work/build/$(basename "$file")" "$prefix/$file.new"
  mv -f "$prefix/$file.new" "$prefix/$file"
done
rm -rf "$work"
echo "$recipe" >"$prefix/recipe"
built || { echo "build-sqlite-mingw: no library in $prefix" >&2; exit 1; }
echo "$prefix"
