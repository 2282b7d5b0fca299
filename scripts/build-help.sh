#!/usr/bin/env bash
# Compiles the HTML help in help/ into Vemlix.chm, with the screenshots that docs/screenshots
# has so far. chmcmd only warns about a broken link or a missing image and leaves an empty .chm
# behind when a project file is missing, so its output and its result are checked here: any
# problem fails the build and leaves no .chm.
# Usage: build-help.sh HELP_DIR SCREENSHOT_DIR STAGE_DIR OUTPUT.chm
set -euo pipefail
help="$1"
shots="$2"
stage="$3"
out="$4"

fail() {
  echo "build-help: $*" >&2
  exit 1
}

# A topic marks its picture as <!--screenshot NAME.png Alt text-->; the <img> is put in only
# once the picture exists, so the help builds before the screenshots are taken.
stage_sources() {
  rm -rf "$stage"
  mkdir -p "$stage/images"
  cp "$help"/*.html "$help"/*.css "$help"/Vemlix.hhp "$help"/Vemlix.hhc "$help"/Vemlix.hhk "$stage/"
  local page name
  for page in "$stage"/*.html; do
    for name in $(grep -o '<!--screenshot [a-z0-9-]*\.png' "$page" | cut -d' ' -f2 | sort -u); do
      [ -f "$shots/$name" ] || continue
      cp "$shots/$name" "$stage/images/"
      sed -i "s|<!--screenshot $name \(.*\)-->|<p class=\"screenshot\"><img src=\"images/$name\" alt=\"\1\"></p>|" "$page"
    done
  done
  # [FILES] is the project's last section.
  (cd "$stage" && find images -name '*.png' | sort) >>"$stage/Vemlix.hhp"
}

# Every file the contents and the index point at, without its #anchor.
sitemap_targets() {
  grep -ho 'name="Local" value="[^"]*"' "$stage/Vemlix.hhc" "$stage/Vemlix.hhk" |
    sed 's/.*value="\([^"#]*\).*/\1/' | sort -u
}

compile() {
  local log="$stage/chmcmd.log"
  if ! (cd "$stage" && chmcmd Vemlix.hhp) >"$log" 2>&1; then
    cat "$log" >&2
    fail "chmcmd failed"
  fi
  # Broken links, missing images and undefined anchors are reported only as such lines.
  if grep -E '^(Warning|Error)' "$log" >&2; then fail "the help has broken links or files"; fi
  [ "$(head -c 4 "$stage/Vemlix.chm")" = "ITSF" ] || fail "Vemlix.chm is not a compiled help file"
}

check_entries() {
  local listing target
  listing="$(chmls -p -n list "$stage/Vemlix.chm" 2>/dev/null)"
  for target in $( (cd "$stage" && ls ./*.html | sed 's|^\./||') ; sitemap_targets); do
    [ -f "$stage/$target" ] || fail "$target is named in the contents or index but does not exist"
    grep -qxF "/$target" <<<"$listing" || fail "$target is missing from Vemlix.chm"
  done
}

stage_sources
compile
check_entries
mv -f "$stage/Vemlix.chm" "$out"
