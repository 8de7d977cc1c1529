#!/usr/bin/env bash
# The real binary in a real X window: title and shape, the home page as the
# first scene, word learning, a word read by a click (highlight, bubble text,
# narration audible in the mixed output), F11's letterboxed fullscreen with
# clicks still landing right, minimise and restore, and closing the window
# ending the process with status 0. Every wait is for a condition.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

make_test_book "$SOURCE"
start_x 1280x1080
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_TMP/audio.raw" \
    "$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!

# The first scene is built once the renderer is: SDL may have made the
# window again for it by then, so the window is looked up after.
wait_for_log "TestController"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"

# The frame is sized from the usable desktop height, aspect about 0.817.
eval "$(xdotool getwindowgeometry --shell "$wid")"
ratio=$(echo "scale=4; $WIDTH / $HEIGHT" | bc)
echo "window ${WIDTH}x${HEIGHT}, ratio $ratio"
awk -v r="$ratio" 'BEGIN { exit !(r > 0.80 && r < 0.83) }' || fail "aspect ratio $ratio is not about 0.817"

# The first scene is the home page: its background, and the word-learning
# button shown (the continue button is hidden on a first visit).
wait_for_pixel "$wid" "$E2E_TMP/home.png" 5 5 "230,230,230"
[ "$(pixel "$E2E_TMP/home.png" "$(window_x 320)" "$(window_y 550)")" = "48,112,192" ] ||
    fail "the word-learning button is not shown"
[ "$(pixel "$E2E_TMP/home.png" "$(window_x 320)" "$(window_y 700)")" = "230,230,230" ] ||
    fail "the continue button shows on the first visit"

# Word learning opens page 1.
xdotool mousemove --window "$wid" "$(window_x 320)" "$(window_y 550)" click 1
wait_for_log "Scene 1 onEnter"

# A click on the first word: highlight, bubble text, narration.
xdotool mousemove --window "$wid" "$(window_x 150)" "$(window_y 600)" click 1
wait_for_log "audio: play $NARRATION"
grep -q "cannot play" "$E2E_TMP/lirra.log" && fail "the narration did not play"
# The text shows while the narration plays, the highlight once it has slid in.
word_start=$SECONDS
region="$(window_x 120)x$(($(window_y 535) - $(window_y 575)))+$(window_x 90)+$(window_y 575)"
lit="" text=0
word_shown() {
    import -window "$wid" "$E2E_TMP/word.png" || return 1
    lit=$(pixel "$E2E_TMP/word.png" "$(window_x 150)" "$(window_y 600)")
    text=$(blue_pixels "$E2E_TMP/word.png" "$region")
    [ "$lit" = "255,128,0" ] && [ "$text" -gt 20 ]
}
until word_shown; do
    [ "$SECONDS" -ge "$((word_start + E2E_DEADLINE))" ] && break
    sleep 0.1
done
echo "word pixel $lit, text pixels under the word: $text"
[ "$lit" = "255,128,0" ] || fail "the word is not highlighted ($lit)"
[ "$text" -gt 20 ] || fail "no word text in the bubble under the word"

# The narration reached the mixed output: not silence.
loud=0
audible() {
    loud=$(tr -d '\000' <"$E2E_TMP/audio.raw" | wc -c)
    [ "$loud" -gt 10000 ]
}
wait_until audible || true
audible || true
echo "non-zero bytes in the mixed output: $loud"
[ "$loud" -gt 10000 ] || fail "the narration is silent in the mixed output"

# F11: fullscreen with the page's shape kept, black bars at the sides.
xdotool windowactivate --sync "$wid" 2>/dev/null || true
xdotool key F11
wait_for_log "view: fullscreen on"
wait_for_log "view: the page fills [0-9]* x 1080 pixels from ([0-9]*, 0) of 1280 x 1080"
read -r pw px <<<"$(grep -o 'the page fills [0-9]* x 1080 pixels from ([0-9]*' "$E2E_TMP/lirra.log" | tail -1 |
    awk '{print $4, substr($9, 2)}')"
full_ratio=$(echo "scale=4; $pw / 1080" | bc)
echo "fullscreen page ${pw}x1080 from x=$px, ratio $full_ratio"
awk -v a="$full_ratio" -v b="$ratio" 'BEGIN { d = a - b; exit !(d > -0.005 && d < 0.005) }' ||
    fail "fullscreen ratio $full_ratio is not the window's $ratio"
[ $((px - (1280 - pw) / 2)) -ge -1 ] && [ $((px - (1280 - pw) / 2)) -le 1 ] || fail "the page is not centred"
wait_for_pixel root "$E2E_TMP/full.png" $((px + 5)) 5 "230,230,230"
[ "$(pixel "$E2E_TMP/full.png" $((px / 2)) 540)" = "0,0,0" ] || fail "no black bar on the left"
[ "$(pixel "$E2E_TMP/full.png" $((1279 - px / 2)) 540)" = "0,0,0" ] || fail "no black bar on the right"
xdotool key F11
wait_for_log "view: fullscreen off"
window_width() { xdotool getwindowgeometry --shell "$wid" | grep -qx "WIDTH=$WIDTH"; }
wait_until window_width || fail "the window did not come back to $WIDTH pixels wide"

# Minimise stops the drawing, restore starts it again.
xdotool windowminimize --sync "$wid" || true
wait_for_log "application: entered the background"
wmctrl -i -a "$wid" 2>/dev/null || xdotool windowactivate "$wid" 2>/dev/null || xdotool windowmap "$wid"
wait_for_log "application: back in the foreground"
stopped_at=$(grep -o 'entered the background at frame [0-9]*' "$E2E_TMP/lirra.log" | tail -1 | awk '{print $NF}')
back_at=$(grep -o 'back in the foreground at frame [0-9]*' "$E2E_TMP/lirra.log" | tail -1 | awk '{print $NF}')
echo "drawing stopped at frame $stopped_at, resumed at $back_at"
[ "$stopped_at" = "$back_at" ] || fail "frames were drawn in the background ($stopped_at -> $back_at)"
wait_for_pixel "$wid" "$E2E_TMP/shot2.png" 5 5 "230,230,230"

# Closing the window ends the process with status 0.
close_window_expecting_clean_exit "$wid"
echo "PASS"
