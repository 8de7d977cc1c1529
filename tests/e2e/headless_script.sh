#!/usr/bin/env bash
# The automation flags end to end: a headless run driven by a script, its log
# file and saved frame, a scripted F11; failures end with a non-zero status.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"
touch "$E2E_TMP/lirra.log"
make_test_book "$SOURCE"

cat >"$E2E_TMP/script.txt" <<SCRIPT
# word learning, then the first word; save the frame once the highlight has slid in
at 0.1 down 320 550
at 0.2 up 320 550
at 0.5 down 150 600
at 0.6 up 150 600
at 2.0 shot $E2E_TMP/frame.png
at 2.2 quit
SCRIPT
status=0
"$LIRRA" --resources "$E2E_TMP/book" --headless --script "$E2E_TMP/script.txt" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "scripted run ended with status $status"
grep -q "Scene 1 onEnter" "$E2E_TMP/lirra.log" || fail "the scripted touch on word learning did not open the page"
grep -q "audio: play $NARRATION" "$E2E_TMP/lirra.log" || fail "the scripted touch on the word did not play it"
[ -f "$E2E_TMP/frame.png" ] || fail "no frame was saved"
size=$(identify -format '%wx%h' "$E2E_TMP/frame.png")
[ "$size" = "825x1009" ] || fail "the frame is $size, not the 1040-pixel desktop's 825x1009"
[ "$(pixel "$E2E_TMP/frame.png" 5 5)" = "230,230,230" ] || fail "the saved frame does not show the page"
WIDTH=825 HEIGHT=1009
[ "$(pixel "$E2E_TMP/frame.png" "$(window_x 150)" "$(window_y 600)")" = "255,128,0" ] ||
    fail "the saved frame does not show the word highlighted"

# The same book packed in one .lirra file (a ZIP archive of the folder) gives
# the same frame, pixel for pixel, and the same narration requests.
(cd "$E2E_TMP/book" && zip -qrX "$E2E_TMP/book.lirra" .) || fail "cannot pack the book"
sed "s|$E2E_TMP/frame.png|$E2E_TMP/packed.png|" "$E2E_TMP/script.txt" >"$E2E_TMP/packed.txt"
status=0
"$LIRRA" "$E2E_TMP/book.lirra" --headless --script "$E2E_TMP/packed.txt" --log "$E2E_TMP/packed.log" \
    >"$E2E_TMP/packed.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the packed book's run ended with status $status"
differing=$(compare -metric AE "$E2E_TMP/frame.png" "$E2E_TMP/packed.png" null: 2>&1) || true
[ "$differing" = "0" ] || fail "the packed book's frame differs from the folder's in $differing pixels"
[ "$(grep 'audio:' "$E2E_TMP/lirra.log")" = "$(grep 'audio:' "$E2E_TMP/packed.log")" ] ||
    fail "the packed book's narration requests differ: $(grep 'audio:' "$E2E_TMP/packed.log")"
! grep -q "cannot be read aloud" "$E2E_TMP/packed.log" || fail "the packed book's narration did not play"
# A file that is no archive, or one cut short, ends before any window with 2.
printf 'not a book' >"$E2E_TMP/text.lirra"
head -c 300 "$E2E_TMP/book.lirra" >"$E2E_TMP/cut.lirra"
for bad in text cut; do
    status=0
    "$LIRRA" --resources "$E2E_TMP/$bad.lirra" --headless --frames 2 >"$E2E_TMP/$bad.out" 2>&1 || status=$?
    [ "$status" -eq 2 ] && grep -q "cannot open the book '$E2E_TMP/$bad.lirra'" "$E2E_TMP/$bad.out" ||
        fail "the unusable archive $bad.lirra: status $status, $(cat "$E2E_TMP/$bad.out")"
done

# A folder or archive that holds no book ends before any window (here there
# is no display: a window would end with 1) with 2 and what is missing.
mkdir -p "$E2E_TMP/empty-shelf" && printf 'notes' >"$E2E_TMP/empty-shelf/notes.txt"
(cd "$E2E_TMP/book" && zip -qX "$E2E_TMP/strings.lirra" String.xml) || fail "cannot pack String.xml"
(cd "$E2E_TMP/book" && zip -qrX -P secret "$E2E_TMP/locked.lirra" .) || fail "cannot pack the locked book"
printf 'PK\005\006\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$E2E_TMP/empty.lirra"
for book in "$E2E_TMP/empty-shelf" "$E2E_TMP/strings.lirra" "$E2E_TMP/locked.lirra" "$E2E_TMP/empty.lirra" /proc/self /; do
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen timeout 120 "$LIRRA" "$book" \
        >"$E2E_TMP/nobook.out" 2>&1 || status=$?
    [ "$status" -eq 2 ] && grep -q "holds no book: .*testLirra/StringConfig.xml" "$E2E_TMP/nobook.out" ||
        fail "$book holds no book: status $status, $(head -c 600 "$E2E_TMP/nobook.out")"
done
# A folder of books is a shelf: with one book it opens that book, with two
# it shows their covers (the scene tests wait for them to be drawn).
mkdir -p "$E2E_TMP/shelf" && cp "$E2E_TMP/book.lirra" "$E2E_TMP/shelf/"
"$LIRRA" "$E2E_TMP/shelf" --headless --frames 3 --log "$E2E_TMP/one.log" >/dev/null 2>&1 ||
    fail "a folder of one book did not open it"
grep -q -- "-----------TestController-----" "$E2E_TMP/one.log" || fail "a folder of one book did not show its home page"
cp -r "$E2E_TMP/book" "$E2E_TMP/shelf/second"
cat >"$E2E_TMP/shelf.txt" <<SCRIPT
at 1 shot $E2E_TMP/shelf.png
at 1.1 quit
SCRIPT
"$LIRRA" "$E2E_TMP/shelf" --headless --script "$E2E_TMP/shelf.txt" --log "$E2E_TMP/shelf.log" >/dev/null 2>&1 ||
    fail "the shelf's run failed"
grep -q "shelf: 2 books, 2 covers to make" "$E2E_TMP/shelf.log" || fail "no shelf of two books: $(head -5 "$E2E_TMP/shelf.log")"

# A FIFO as script or log is refused at once instead of waiting for a writer or reader.
mkfifo "$E2E_TMP/fifo" || fail "cannot make a FIFO"
for flag in --script --log; do
    want="is not a regular file"
    [ "$flag" = --log ] && want="a FIFO that nothing reads"
    status=0
    timeout 120 "$LIRRA" --resources "$E2E_TMP/book" --headless --frames 2 "$flag" "$E2E_TMP/fifo" \
        >"$E2E_TMP/fifo.out" 2>&1 || status=$?
    [ "$status" -eq 2 ] && grep -q "$want" "$E2E_TMP/fifo.out" ||
        fail "a FIFO as $flag: status $status, $(head -c 600 "$E2E_TMP/fifo.out")"
done

# --frames stops the run by itself.
status=0
timeout 300 "$LIRRA" --headless --frames 5 >/dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "--frames 5 ended with status $status"

# Wrong input is named and exits with 2.
printf 'at 0.1 down 160\n' >"$E2E_TMP/bad.txt"
status=0
"$LIRRA" --headless --script "$E2E_TMP/bad.txt" >"$E2E_TMP/bad.out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a malformed script exited with $status"
grep -q "bad.txt:1:" "$E2E_TMP/bad.out" || fail "the malformed line is not named: $(cat "$E2E_TMP/bad.out")"
status=0
"$LIRRA" --fast >"$E2E_TMP/flag.out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown flag exited with $status"
grep -q "unknown option '--fast'" "$E2E_TMP/flag.out" || fail "the unknown flag is not named"
# A scripted key takes the keyboard's path: F11 letterboxes the page on the
# headless 1920 x 1080 screen.
printf 'at 0.1 key F11\nat 0.2 shot %s\nat 0.3 quit\n' "$E2E_TMP/full.png" >"$E2E_TMP/f11.txt"
status=0
"$LIRRA" --resources "$E2E_TMP/book" --headless --script "$E2E_TMP/f11.txt" >"$E2E_TMP/f11.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the F11 script ended with status $status"
[ "$(identify -format '%wx%h' "$E2E_TMP/full.png")" = "1920x1080" ] || fail "F11 did not go fullscreen"
grep -q "the page fills 883 x 1080 pixels from (518, 0)" "$E2E_TMP/f11.out" ||
    fail "the page is not letterboxed: $(grep fills "$E2E_TMP/f11.out")"
[ "$(pixel "$E2E_TMP/full.png" 200 540)" = "0,0,0" ] || fail "no black bar left of the page"
[ "$(pixel "$E2E_TMP/full.png" 525 5)" = "230,230,230" ] || fail "the page is not drawn inside the bars"

# Failures are not reported as success: a frame that cannot be saved ends
# with 3, a folder given as the script and a wrong frame count with 2.
printf 'at 0.1 shot /nonexistent/dir/frame.png\nat 0.2 quit\n' >"$E2E_TMP/noshot.txt"
status=0
"$LIRRA" --headless --script "$E2E_TMP/noshot.txt" >"$E2E_TMP/noshot.out" 2>&1 || status=$?
[ "$status" -eq 3 ] || fail "a shot that could not be saved exited with $status"
status=0
"$LIRRA" --headless --script "$E2E_TMP" >"$E2E_TMP/folder.out" 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q "is a folder" "$E2E_TMP/folder.out" || fail "a folder as script: status $status"
status=0
"$LIRRA" --headless --frames 0 >"$E2E_TMP/frames.out" 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q "from 1 to 4294967295" "$E2E_TMP/frames.out" || fail "--frames 0: status $status"

# Without --headless and without a display it says how to run it, at once.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen "$LIRRA" >"$E2E_TMP/nodisplay.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "no display: status $status"
grep -q "xvfb-run -a make run" "$E2E_TMP/nodisplay.out" || fail "no display: $(cat "$E2E_TMP/nodisplay.out")"
echo "PASS"
