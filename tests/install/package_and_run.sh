#!/usr/bin/env bash
# make package, then the package as a family's machine gets it: lintian's
# verdict, its control fields, its files unpacked into a scratch root with
# what dpkg's triggers would do there (the MIME and menu databases), the
# menu entry and software-centre data validated, and the installed program
# run headless on the installed book, touching a word until it is read.
set -euo pipefail
SOURCE=$1
TMP=$(mktemp -d /tmp/lirra-package.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

make -s -C "$SOURCE" package >"$TMP/make.txt" 2>&1 || { cat "$TMP/make.txt" >&2; fail "make package failed"; }
debs=("$SOURCE"/build/package/lirra_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "make package left ${#debs[@]} packages: ${debs[*]}"
DEB=${debs[0]}
echo "package: $DEB ($(du -k "$DEB" | cut -f1) KiB)"

# lintian: errors fail; warnings are shown.
lintian "$DEB" >"$TMP/lintian.txt" 2>&1 || true
cat "$TMP/lintian.txt"
! grep -q '^E: ' "$TMP/lintian.txt" || fail "lintian reports errors"

field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = lirra ] || fail "the package is called '$(field Package)'"
[ "$(field Section)" = education ] && [ "$(field Priority)" = optional ] || fail "no section or priority"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "the maintainer '$(field Maintainer)' is not 'Name <address>'"
depends=$(field Depends)
echo "Depends: $depends"
# The libraries the programs link (found by dpkg-shlibdeps) and the data they load.
for package in libsdl2-2.0-0 libmpg123-0 libpng16-16 libzip4 libpocketsphinx3 fonts-sil-andika fonts-dejavu-core \
    pocketsphinx-en-us; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package"
done

# What a sanitizer build would give away: the package is built for release.
dpkg-deb -x "$DEB" "$TMP/root"
ROOT=$TMP/root
for program in lirra lirra-check lirra-make; do
    binary=$ROOT/usr/bin/$program
    [ -f "$binary" ] || fail "usr/bin/$program is not in the package"
    file -b "$binary" | grep -q ', stripped' || fail "usr/bin/$program is not stripped: $(file -b "$binary")"
    ! objdump -p "$binary" | grep -Eq 'NEEDED +lib(asan|ubsan)' || fail "usr/bin/$program is a sanitizer build"
done

# Owners and modes as dpkg will set them: root, programs 0755, data 0644.
dpkg-deb -c "$DEB" | awk '
    $2 != "root/root" { print "owner " $2 ": " $NF; bad = 1 }
    $1 ~ /^-/ && $NF ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" { print $1 ": " $NF; bad = 1 }
    $1 ~ /^-/ && $NF !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print $1 ": " $NF; bad = 1 }
    $1 ~ /^d/ && $1 != "drwxr-xr-x" { print $1 ": " $NF; bad = 1 }
    END { exit bad }' >"$TMP/modes.txt" || fail "files with the wrong owner or mode: $(cat "$TMP/modes.txt")"

for f in usr/share/lirra/books/pip-and-the-moon.lirra usr/share/applications/org.lirra.lirra.desktop \
    usr/share/mime/packages/lirra-book.xml usr/share/icons/hicolor/256x256/apps/lirra.png \
    usr/share/metainfo/org.lirra.lirra.metainfo.xml usr/share/doc/lirra/copyright \
    usr/share/doc/lirra/changelog.Debian.gz usr/share/lirra/maker/art/library.svg \
    usr/share/man/man1/lirra.1.gz usr/share/man/man1/lirra-check.1.gz usr/share/man/man1/lirra-make.1.gz; do
    [ -f "$ROOT/$f" ] || fail "$f is not in the package"
done
# Each manual page reads without a warning from man.
for page in lirra lirra-check lirra-make; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$ROOT/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns about $page.1: $warnings"
    zcat "$ROOT/usr/share/man/man1/$page.1.gz" | grep -q "^\.SH NAME" || fail "$page.1 has no NAME section"
done

# dpkg's triggers update the MIME and menu databases; no maintainer script
# of ours may be needed for it.
dpkg-deb -e "$DEB" "$TMP/control"
for script in preinst postinst prerm postrm; do
    [ ! -e "$TMP/control/$script" ] || fail "the package has a $script script"
done
update-mime-database "$ROOT/usr/share/mime" >/dev/null 2>&1
grep -q '^application/x-lirra-book:\*\.lirra$' "$ROOT/usr/share/mime/globs" ||
    fail "the MIME database does not know *.lirra: $(cat "$ROOT/usr/share/mime/globs")"
update-desktop-database "$ROOT/usr/share/applications"
grep -qx 'application/x-lirra-book=org.lirra.lirra.desktop;' "$ROOT/usr/share/applications/mimeinfo.cache" ||
    fail "the menu database does not open a .lirra file with Lirra"

desktop=$ROOT/usr/share/applications/org.lirra.lirra.desktop
desktop-file-validate "$desktop" >"$TMP/desktop.txt" 2>&1 || { cat "$TMP/desktop.txt" >&2; fail "the menu entry is not valid"; }
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ "$exec_line" = "/usr/bin/lirra %f" ] || fail "the menu entry runs '$exec_line'"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$ROOT/usr/share/icons/hicolor/256x256/apps/$icon.png" ] || fail "the menu entry's icon '$icon' is not in the package"

# The software centres' data: valid, and the installed tree gives it the menu
# entry it launches.
appstreamcli validate-tree --no-net "$ROOT" >"$TMP/appstream.txt" 2>&1 ||
    { cat "$TMP/appstream.txt" >&2; fail "appstreamcli does not validate the installed metainfo"; }
cat "$TMP/appstream.txt"

# The installed programs, from the scratch root, as the menu would start
# them: on the installed book, then with no book at all (a fresh user with
# an empty shelf of their own).
cd "$TMP"
mkdir -p "$TMP/home"
export HOME=$TMP/home XDG_DATA_HOME=$TMP/home/.local/share XDG_CONFIG_HOME=$TMP/home/.config
BOOK=$ROOT/usr/share/lirra/books/pip-and-the-moon.lirra
"$ROOT/usr/bin/lirra-check" "$BOOK" >"$TMP/check.txt" 2>&1 || { cat "$TMP/check.txt" >&2; fail "lirra-check finds problems in the installed book"; }
grep -q ': 0 error(s), 0 warning(s); the book is ready' "$TMP/check.txt" || fail "lirra-check: $(tail -1 "$TMP/check.txt")"

# Word learning on the home page, then page 1's first word (bn011), read
# from the design points of the sample book's layouts.
cat >"$TMP/script.txt" <<'SCRIPT'
at 0.3 down 320 290
at 0.35 up 320 290
at 1.3 down 235 286
at 1.35 up 235 286
at 3.0 quit
SCRIPT
NARRATION="testLirra/epc/$(printf mc011.mp3 | md5sum | cut -c1-32).mp3"
status=0
"$ROOT/usr/bin/lirra" --headless --script "$TMP/script.txt" --log "$TMP/book.log" "$BOOK" >"$TMP/book.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$TMP/book.out" >&2; fail "the installed lirra ended with status $status"; }
grep -q "audio: play $NARRATION" "$TMP/book.log" || { cat "$TMP/book.log" >&2; fail "touching the first word did not read it"; }

status=0
"$ROOT/usr/bin/lirra" --headless --frames 30 --log "$TMP/menu.log" >"$TMP/menu.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$TMP/menu.out" >&2; fail "the installed lirra with no book ended with status $status"; }
grep -q -- "-----------TestController----- pip " "$TMP/menu.log" || fail "the installed lirra with no book opened no book"
echo "packaged, installed into a scratch root and read"
