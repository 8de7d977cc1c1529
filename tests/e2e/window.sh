#!/usr/bin/env bash
# The real binary in a real X window: title and shape, the home page as the
# first scene, word learning, a word read by a click (highlight, bubble text,
# narration audible in the mixed output), minimise and restore, and closing
# the window ending the process with status 0.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

make_test_book "$SOURCE"
start_x 1280x1080
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_TMP/audio.raw" \
    "$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!

# Polled rather than --sync: a window that comes and goes while SDL sets up
# makes a synced search fail with BadWindow.
wid=""
for _ in $(seq 1 150); do
    wid=$(xdotool search --name '^lirra$' 2>/dev/null | head -1) && [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window titled 'lirra' appeared"
wait_for_log "TestController"

# The frame is sized from the usable desktop height, aspect about 0.817.
eval "$(xdotool getwindowgeometry --shell "$wid")"
ratio=$(echo "scale=4; $WIDTH / $HEIGHT" | bc)
echo "window ${WIDTH}x${HEIGHT}, ratio $ratio"
awk -v r="$ratio" 'BEGIN { exit !(r > 0.80 && r < 0.83) }' || fail "aspect ratio $ratio is not about 0.817"

# The first scene is the home page: its background, and the word-learning
# button shown (the continue button is hidden on a first visit).
for _ in $(seq 1 50); do
    import -window "$wid" "$E2E_TMP/home.png"
    [ "$(pixel "$E2E_TMP/home.png" 5 5)" = "230,230,230" ] && break
    sleep 0.1
done
echo "home corner $(pixel "$E2E_TMP/home.png" 5 5)"
[ "$(pixel "$E2E_TMP/home.png" 5 5)" = "230,230,230" ] || fail "the home page is not drawn"
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
region="$(window_x 120)x$(($(window_y 535) - $(window_y 575)))+$(window_x 90)+$(window_y 575)"
lit="" text=0
for _ in $(seq 1 50); do
    import -window "$wid" "$E2E_TMP/word.png"
    lit=$(pixel "$E2E_TMP/word.png" "$(window_x 150)" "$(window_y 600)")
    text=$(blue_pixels "$E2E_TMP/word.png" "$region")
    [ "$lit" = "255,128,0" ] && [ "$text" -gt 20 ] && break
    sleep 0.1
done
echo "word pixel $lit, text pixels under the word: $text"
[ "$lit" = "255,128,0" ] || fail "the word is not highlighted ($lit)"
[ "$text" -gt 20 ] || fail "no word text in the bubble under the word"

# The narration reached the mixed output: not silence.
for _ in $(seq 1 50); do
    loud=$(tr -d '\000' <"$E2E_TMP/audio.raw" | wc -c)
    [ "$loud" -gt 10000 ] && break
    sleep 0.1
done
echo "non-zero bytes in the mixed output: $loud"
[ "$loud" -gt 10000 ] || fail "the narration is silent in the mixed output"

# Minimise stops the drawing, restore starts it again.
xdotool windowminimize --sync "$wid" || true
wait_for_log "application: entered the background"
wmctrl -i -a "$wid" 2>/dev/null || xdotool windowactivate "$wid" 2>/dev/null || xdotool windowmap "$wid"
wait_for_log "application: back in the foreground"
stopped_at=$(grep -o 'entered the background at frame [0-9]*' "$E2E_TMP/lirra.log" | tail -1 | awk '{print $NF}')
back_at=$(grep -o 'back in the foreground at frame [0-9]*' "$E2E_TMP/lirra.log" | tail -1 | awk '{print $NF}')
echo "drawing stopped at frame $stopped_at, resumed at $back_at"
[ "$stopped_at" = "$back_at" ] || fail "frames were drawn in the background ($stopped_at -> $back_at)"
for _ in $(seq 1 50); do
    import -window "$wid" "$E2E_TMP/shot2.png"
    [ "$(pixel "$E2E_TMP/shot2.png" 5 5)" = "230,230,230" ] && break
    sleep 0.1
done
[ "$(pixel "$E2E_TMP/shot2.png" 5 5)" = "230,230,230" ] || fail "nothing drawn after restoring"

# Closing the window ends the process with status 0.
wmctrl -i -c "$wid"
for _ in $(seq 1 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "the process did not end after the window was closed"
status=0
wait "$APP_PID" || status=$?
APP_PID=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "PASS"
