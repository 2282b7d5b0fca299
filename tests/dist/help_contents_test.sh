#!/usr/bin/env bash
# The compiled help lists every contents entry and index keyword of its sources, and names the
# window caption that Help opens with.
# Usage: help_contents_test.sh Vemlix.chm HELP_DIR
set -euo pipefail
chm="$1"
help="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

names() {
  grep -o 'name="Name" value="[^"]*"' "$1" | sed 's/.*value="//; s/"$//' | sort -u
}

# chmls exits 0 whatever happens; a failed extraction shows as missing names.
chmls extracttoc "$chm" "$work/contents" >/dev/null 2>&1 || true
chmls extractindex "$chm" "$work/index" >/dev/null 2>&1 || true
touch "$work/contents" "$work/index"
status=0
# The compiled index also names each keyword's topic, so the sources' names are a subset.
for part in contents:Vemlix.hhc index:Vemlix.hhk; do
  missing="$(comm -23 <(names "$help/${part#*:}") <(names "$work/${part%%:*}"))"
  [ -z "$missing" ] || { printf 'missing from the %s of Vemlix.chm:\n%s\n' "${part%%:*}" "$missing"; status=1; }
done
# grep reads to the end: with -q it could leave early, and chmls's SIGPIPE would fail the pipe.
chmls printwindows "$chm" 2>/dev/null | grep 'Title Bar Text *: Vemlix Help' >/dev/null || { echo "no window titled Vemlix Help"; status=1; }
exit $status
