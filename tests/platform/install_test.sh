#!/bin/bash
# `make install-built` and `make uninstall` into a temporary prefix that already holds a folder
# and a file of its own: every artefact lands where a Linux desktop looks for it and passes the
# desktop's own checkers (desktop-file-validate, man --warnings, the icon sizes), the installed
# programs run and find their images in the prefix, an install over an install keeps one copy,
# and uninstall leaves the prefix exactly as it was.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -u
SRC=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
PREFIX="$TMP/prefix"
mkdir -p "$PREFIX/bin" "$PREFIX/share/applications"
echo "a user's own" >"$PREFIX/bin/other-tool"
listing() { (cd "$PREFIX" && find . | sort); }
before=$(listing)
make_it() { make --no-print-directory -C "$SRC" "$@" BUILD="$BUILD" PREFIX="$PREFIX" >"$TMP/make.log" 2>&1 ||
  fail "make $*: $(cat "$TMP/make.log")"; }

make_it install-built
make_it install-built
for f in bin/tonnik-standalone bin/tonnik lib/lv2/tonnik.lv2/manifest.ttl lib/clap/tonnik.clap lib/vst3/TONNIK-PRO.vst3/Contents/x86_64-linux/TONNIK-PRO.so \
  share/tonnik/img/background.png \
  share/applications/tonnik-standalone.desktop share/man/man1/tonnik.1 share/man/man1/tonnik-standalone.1; do
  [ -e "$PREFIX/$f" ] || fail "$f was not installed"
done
[ -x "$PREFIX/bin/tonnik-standalone" ] && [ -x "$PREFIX/bin/tonnik" ] || fail "the programs are not executable"
desktop-file-validate "$PREFIX/share/applications/tonnik-standalone.desktop" || fail "the desktop entry is not valid"
for page in tonnik tonnik-standalone; do
  warnings=$(man --warnings -l "$PREFIX/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
for size in 48 128 256; do
  got=$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/${size}x$size/apps/tonnik-standalone.png") ||
    fail "no $size px icon"
  [ "$got" = "${size}x$size" ] || fail "the $size px icon is $got"
done
echo "installed: programs, LV2 and VST 3 bundles, CLAP module, images, desktop entry, icons at 48, 128 and 256 px, man pages"

# The installed programs run on their own, with the images from the prefix.
unset TONNIK_RESOURCE_DIR
"$PREFIX/bin/tonnik" --version >/dev/null || fail "the installed tonnik does not run"
"$PREFIX/bin/tonnik" editor -o "$TMP/editor.png" >/dev/null 2>&1 || fail "the installed tonnik cannot draw its editor"
background="$PREFIX/share/tonnik/img/background.png"
cp "$background" "$TMP/background.png"
convert "$TMP/background.png" -negate "$background" || fail "cannot change the installed background"
"$PREFIX/bin/tonnik" editor -o "$TMP/changed.png" >/dev/null 2>&1 || fail "the installed tonnik cannot draw its editor"
cmp -s "$TMP/editor.png" "$TMP/changed.png" && fail "the installed tonnik did not take its images from the prefix"
cp "$TMP/background.png" "$background"
echo "the installed programs take their images from the prefix"

make_it uninstall
after=$(listing)
[ "$after" = "$before" ] || fail "uninstall left the prefix changed: $(diff <(echo "$before") <(echo "$after"))"
echo "uninstall left the prefix as it was"
