#!/usr/bin/env bash
# What a child's real clicks do in a window on a 1280 x 1024 desktop under a
# window manager: the framed window fits the screen, one click on "Read the
# book" builds one page, a press held a second on a word reads it once, and
# Tab and Return read a word without the pointer.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

make_test_book "$SOURCE"
# A short word, so that a held press outlasts its narration.
espeak-ng -w "$E2E_TMP/short.wav" "sun" 2>/dev/null && lame --quiet "$E2E_TMP/short.wav" "$E2E_TMP/book/$NARRATION" ||
    fail "cannot make narration (espeak-ng, lame)"
start_x 1280x1024
"$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!
# The first scene is built once the renderer is: SDL may have made the
# window again for it by then, so the window is looked up after.
wait_for_log "TestController"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"

# The frame window (the client's place plus the window manager's borders)
# lies wholly on the screen.
frame_fits() {
    local extents x y w h
    extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$') || return 1
    read -r left right top bottom <<<"$(echo "$extents" | tr -d ',')"
    [ -n "$bottom" ] || return 1
    x=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ {print $NF}')
    y=$(xwininfo -id "$wid" | awk '/Absolute upper-left Y/ {print $NF}')
    w=$(xwininfo -id "$wid" | awk '/Width:/ {print $NF}')
    h=$(xwininfo -id "$wid" | awk '/Height:/ {print $NF}')
    echo "client ${w}x${h} at ($x, $y), borders l$left r$right t$top b$bottom" >"$E2E_TMP/frame.txt"
    [ $((x - left)) -ge 0 ] && [ $((y - top)) -ge 0 ] && [ $((x + w + right)) -le 1280 ] &&
        [ $((y + h + bottom)) -le 1024 ]
}
wait_until frame_fits || fail "the framed window does not fit the 1280 x 1024 screen: $(cat "$E2E_TMP/frame.txt")"
cat "$E2E_TMP/frame.txt"
eval "$(xdotool getwindowgeometry --shell "$wid")"
ratio=$(echo "scale=4; $WIDTH / $HEIGHT" | bc)
awk -v r="$ratio" 'BEGIN { exit !(r > 0.80 && r < 0.83) }' || fail "aspect ratio $ratio is not about 0.817"
wait_for_pixel "$wid" "$E2E_TMP/home.png" 5 5 "230,230,230"

# One click on "Read the book": one page.
xdotool mousemove --window "$wid" "$(window_x 320)" "$(window_y 550)" click 1
wait_for_log "Scene 1 onEnter"
wait_for_log "Scene 1: onEnterTransitionDidFinish"
pages=$(grep -c "page_name" "$E2E_TMP/lirra.log")
[ "$pages" = 1 ] || fail "one click built $pages pages"

# A press held on the first word, for longer than its narration: read once.
xdotool mousemove --window "$wid" "$(window_x 150)" "$(window_y 600)" mousedown 1
wait_for_log "audio: play $NARRATION"
held_from=$(date +%s.%N)
held() { awk -v a="$held_from" -v b="$(date +%s.%N)" 'BEGIN { exit !(b - a >= 1.0) }'; }
until held; do sleep 0.05; done
xdotool mouseup 1
# The release has been handled once a later click has: one on an empty spot.
xdotool mousemove --window "$wid" "$(window_x 320)" "$(window_y 820)" click 1
wait_for_log "page: tap at"
plays=$(grep -c "audio: play $NARRATION" "$E2E_TMP/lirra.log")
echo "narration requests for one held press: $plays"
[ "$plays" = 1 ] || fail "a held press read the word $plays times"

# Without a pointer: Tab puts the ring on the first word, Return reads it.
xdotool key Tab Return
read_again() { [ "$(grep -c "audio: play $NARRATION" "$E2E_TMP/lirra.log")" -ge 2 ]; }
wait_until read_again || fail "Tab and Return did not read the first word"
echo "PASS"
