#!/usr/bin/env bash
# The shelf in a real window, clicked as a child would: lirra on a folder of
# two books draws their covers while the window stays live, a click on a
# cover opens that book, its Bye comes back to the shelf, and the window's
# close button still ends the program.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

make_test_book "$SOURCE"
mkdir -p "$E2E_TMP/shelf"
cp -r "$E2E_TMP/book" "$E2E_TMP/shelf/a-test-book"
(cd "$SOURCE/resources" && zip -qrX "$E2E_TMP/shelf/pip-and-the-moon.lirra" .) || fail "cannot pack the sample book"
start_x 1280x1024
"$LIRRA" "$E2E_TMP/shelf" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!
wait_for_log "shelf: 2 books, 2 covers to make"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"
two_covers() { [ "$(grep -c "pictures: drew" "$E2E_TMP/lirra.log")" -ge 2 ]; }
wait_until two_covers || fail "the covers were not drawn: $(grep pictures "$E2E_TMP/lirra.log")"
[ -d "$XDG_CACHE_HOME/lirra/covers" ] || fail "no picture cache in $XDG_CACHE_HOME"
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The sample's cover (second, top middle) shows its night sky: dark blue.
wait_for_dark() {
    import -window "$wid" "$E2E_TMP/shelf.png" 2>/dev/null || return 1
    local rgb r g b
    rgb=$(pixel "$E2E_TMP/shelf.png" "$(window_x 320)" "$(window_y 900)")
    IFS=, read -r r g b <<<"$rgb"
    [ "$b" -gt "$r" ] && [ "$r" -lt 100 ]
}
wait_until wait_for_dark || fail "the sample's cover does not show: $(pixel "$E2E_TMP/shelf.png" "$(window_x 320)" "$(window_y 900)")"

# A click on the first cover opens the test book's home page.
xdotool mousemove --window "$wid" "$(window_x 107)" "$(window_y 780)" click 1
wait_for_log "shelf: opened the book $E2E_TMP/shelf/a-test-book"
wait_for_log "TestController"
# Its exit button comes back to the shelf instead of ending the program.
xdotool mousemove --window "$wid" "$(window_x 320)" "$(window_y 250)" click 1
wait_for_log "shelf: back on the shelf"
kill -0 "$APP_PID" || fail "Bye ended the program"
# The other book, by keys alone: Tab, Right, Return.
xdotool key Tab Right Return
wait_for_log "shelf: opened the book $E2E_TMP/shelf/pip-and-the-moon.lirra"

# The window's close button ends it.
close_window_expecting_clean_exit "$wid"
echo "PASS"
