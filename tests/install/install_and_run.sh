#!/usr/bin/env bash
# Installs into a staging folder (DESTDIR) under a prefix, runs the installed
# program headless from elsewhere (it must find its book without
# --resources), checks the installed book, then uninstalls.
set -euo pipefail
BUILD=$1
SOURCE=$2
TMP=$(mktemp -d /tmp/lirra-install.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
PREFIX=/opt/lirra
ROOT="$TMP/stage$PREFIX"

# A stand-in for update-mime-database notes where an install asks it to write.
mkdir -p "$TMP/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$TMP/mime-updates.txt" >"$TMP/bin/update-mime-database"
chmod +x "$TMP/bin/update-mime-database"
: >"$TMP/mime-updates.txt"

DESTDIR="$TMP/stage" PATH="$TMP/bin:$PATH" cmake --install "$BUILD" --prefix "$PREFIX" >"$TMP/install.txt"
[ ! -s "$TMP/mime-updates.txt" ] || fail "a staged install updated the system's MIME database: $(cat "$TMP/mime-updates.txt")"
for f in bin/lirra bin/lirra-check bin/lirra-make \
    share/lirra/books/pip-and-the-moon.lirra share/applications/org.lirra.lirra.desktop \
    share/icons/hicolor/256x256/apps/lirra.png share/metainfo/org.lirra.lirra.metainfo.xml \
    share/man/man1/lirra.1.gz share/man/man1/lirra-check.1.gz share/man/man1/lirra-make.1.gz; do
    [ -f "$ROOT/$f" ] || fail "$f was not installed"
done
grep -qx "Exec=$PREFIX/bin/lirra %f" "$ROOT/share/applications/org.lirra.lirra.desktop" || fail "the menu entry does not start $PREFIX/bin/lirra with a file"
grep -qx "MimeType=application/x-lirra-book;" "$ROOT/share/applications/org.lirra.lirra.desktop" || fail "the menu entry does not open .lirra files"
grep -q '<mime-type type="application/x-lirra-book">' "$ROOT/share/mime/packages/lirra-book.xml" &&
    grep -q '<glob pattern="\*.lirra"/>' "$ROOT/share/mime/packages/lirra-book.xml" || fail "the .lirra file type is not installed"
# Where the tools are here, the staged database tells a .lirra file by its name.
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
    update-mime-database "$ROOT/share/mime" >/dev/null 2>&1
    printf 'x' >"$TMP/sample.lirra"
    type=$(XDG_DATA_DIRS="$ROOT/share" XDG_DATA_HOME="$TMP/none" gio info -a standard::content-type \
        "$TMP/sample.lirra" 2>/dev/null | sed -n 's/.*standard::content-type: //p')
    [ "$type" = "application/x-lirra-book" ] || fail "gio calls a .lirra file '$type'"
    find "$ROOT/share/mime" -mindepth 1 ! -path '*/packages*' -delete
fi
grep -qx "Icon=lirra" "$ROOT/share/applications/org.lirra.lirra.desktop" || fail "the menu entry has no icon"

cd "$TMP"
status=0
# An empty user shelf: the installed program opens the book on its own shelf.
XDG_DATA_HOME="$TMP/data" XDG_CACHE_HOME="$TMP/cache" \
    "$ROOT/bin/lirra" --headless --frames 30 --log "$TMP/lirra.log" >"$TMP/out.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$TMP/out.txt" >&2; fail "the installed program ended with status $status"; }
grep -q -- "-----------TestController----- pip " "$TMP/lirra.log" || fail "the installed program did not read its book"
if grep -qi "error\|missing\|cannot" "$TMP/lirra.log"; then
    cat "$TMP/lirra.log" >&2
    fail "the installed program reported problems with its book"
fi
"$ROOT/bin/lirra-check" "$ROOT/share/lirra/books/pip-and-the-moon.lirra" | grep -q "the book is ready" ||
    fail "the book on the installed shelf does not check clean"

make -s -C "$SOURCE" uninstall PREFIX="$PREFIX" DESTDIR="$TMP/stage" >/dev/null
left=$(find "$TMP/stage" -type f -o -type l)
[ -z "$left" ] || fail "uninstall left: $left"

# An install that is not staged does update the database under its prefix.
PATH="$TMP/bin:$PATH" cmake --install "$BUILD" --prefix "$TMP/user" >/dev/null
grep -qx "$TMP/user/share/mime" "$TMP/mime-updates.txt" || fail "an install did not update its MIME database"
echo "installed, ran and uninstalled"
